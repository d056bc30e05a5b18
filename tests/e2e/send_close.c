/* send_close: asks an X window to close the way a window manager does, with
 * a WM_PROTOCOLS / WM_DELETE_WINDOW ClientMessage.
 *
 *   send_close WINDOW_ID     (decimal or 0x hex; uses $DISPLAY)
 *
 * Exits 0 once the message is sent, 1 when the display cannot be opened,
 * 2 on a bad argument. */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: send_close WINDOW_ID\n");
        return 2;
    }
    char *end = NULL;
    Window window = strtoul(argv[1], &end, 0);
    if (!end || *end || window == 0) {
        fprintf(stderr, "send_close: bad window id %s\n", argv[1]);
        return 2;
    }
    Display *display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "send_close: cannot open the display\n");
        return 1;
    }
    XEvent event = {0};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.format = 32;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
