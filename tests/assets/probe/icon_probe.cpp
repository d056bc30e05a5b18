// icon_probe WINDOW_ID: reads the icon pixmap and mask that a window's
// WM_HINTS name and compares them, pixel by pixel, with the program's XPM
// icon. Exits 0 when they match, 1 (with the reason) otherwise.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/xpm.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "resources/window_icon_xpm.inc"

static int fail(const char *why) {
    std::fprintf(stderr, "icon_probe: %s\n", why);
    return 1;
}

static unsigned channel(unsigned long pixel, unsigned long mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) shift++;
    unsigned long v = (pixel & mask) >> shift, max = mask >> shift;
    return unsigned(v * 255 / max);
}

int main(int argc, char **argv) {
    if (argc != 2) return fail("usage: icon_probe WINDOW_ID");
    Display *d = XOpenDisplay(nullptr);
    if (!d) return fail("no display");
    Window w = std::strtoul(argv[1], nullptr, 0);
    XWMHints *hints = XGetWMHints(d, w);
    if (!hints || !(hints->flags & IconPixmapHint) || !(hints->flags & IconMaskHint))
        return fail("no icon pixmap and mask in WM_HINTS");
    Window root;
    int x, y;
    unsigned width, height, border, depth;
    if (!XGetGeometry(d, hints->icon_pixmap, &root, &x, &y, &width, &height, &border, &depth))
        return fail("icon pixmap unreadable");
    XpmImage xpm;
    XpmInfo info;
    if (XpmCreateXpmImageFromData(const_cast<char **>(brindlewick_icon_xpm), &xpm, &info) !=
        XpmSuccess)
        return fail("our XPM does not parse");
    if (width != xpm.width || height != xpm.height) return fail("icon size differs from ours");
    XImage *image = XGetImage(d, hints->icon_pixmap, 0, 0, width, height, AllPlanes, ZPixmap);
    XImage *mask = XGetImage(d, hints->icon_mask, 0, 0, width, height, 1, XYPixmap);
    if (!image || !mask) return fail("cannot read the icon");
    // Images read from a pixmap carry no colour masks: the pixmap has the
    // screen's depth, so its pixels are in the default visual's layout.
    Visual *visual = DefaultVisual(d, DefaultScreen(d));
    if (!image->red_mask) {
        image->red_mask = visual->red_mask;
        image->green_mask = visual->green_mask;
        image->blue_mask = visual->blue_mask;
    }
    int wrong = 0;
    for (unsigned j = 0; j < height; j++)
        for (unsigned i = 0; i < width; i++) {
            const char *c = xpm.colorTable[xpm.data[j * width + i]].c_color;
            bool clear = std::strcmp(c, "None") == 0;
            bool shown = XGetPixel(mask, int(i), int(j)) != 0;
            if (clear != !shown) {
                wrong++;
                continue;
            }
            if (clear) continue;
            unsigned long rgb = std::strtoul(c + 1, nullptr, 16);
            unsigned long p = XGetPixel(image, int(i), int(j));
            if (channel(p, image->red_mask) != ((rgb >> 16) & 255) ||
                channel(p, image->green_mask) != ((rgb >> 8) & 255) ||
                channel(p, image->blue_mask) != (rgb & 255))
                wrong++;
        }
    if (wrong) {
        std::fprintf(stderr, "icon_probe: %d of %u pixels differ from our icon\n", wrong,
                     width * height);
        return 1;
    }
    std::printf("icon_probe: the window's icon is ours (%ux%u)\n", width, height);
    return 0;
}
