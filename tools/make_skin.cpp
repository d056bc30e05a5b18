// make_skin: draws Brindlewick's default skin and icon and writes them.
//
//   make_skin DEMO_DIR RESOURCES_DIR
//
// DEMO_DIR gets "UI.bmp" and "BG.bmp"; RESOURCES_DIR gets brindlewick.ico
// (for the Windows resource script), brindlewick-16/32/64.png (for desktop
// menus) and window_icon_xpm.inc (the X11 window icon compiled into the
// program). The output depends on nothing but this program, so running it
// again gives the same bytes. Exits 1 with a message when a file cannot be
// written.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "skin_art.h"
#include "skin_encoders.h"

static bool write_bytes(const std::string &path, const std::vector<uint8_t> &bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    if (f) return true;
    std::fprintf(stderr, "make_skin: cannot write %s\n", path.c_str());
    return false;
}

static bool write_text(const std::string &path, const std::string &text) {
    if (text.empty()) {
        std::fprintf(stderr, "make_skin: nothing to write for %s\n", path.c_str());
        return false;
    }
    return write_bytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_skin DEMO_DIR RESOURCES_DIR\n");
        return 2;
    }
    const std::string demo = argv[1], res = argv[2];
    using namespace skin;
    Canvas icon16 = make_icon(16), icon32 = make_icon(32), icon64 = make_icon(64);
    bool ok = write_bytes(demo + "/UI.bmp", encode_bmp24(make_sheet())) &&
              write_bytes(demo + "/BG.bmp", encode_bmp24(make_backdrop())) &&
              write_bytes(res + "/brindlewick.ico", encode_ico({icon16, icon32})) &&
              write_bytes(res + "/brindlewick-16.png", encode_png(icon16)) &&
              write_bytes(res + "/brindlewick-32.png", encode_png(icon32)) &&
              write_bytes(res + "/brindlewick-64.png", encode_png(icon64)) &&
              write_text(res + "/window_icon_xpm.inc",
                         encode_xpm_source(icon32, "brindlewick_icon_xpm"));
    return ok ? 0 : 1;
}
