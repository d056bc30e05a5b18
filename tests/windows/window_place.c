/* Where the jukebox's window is on the Wine desktop, for the tests that
 * drive it there. Prints, in screen pixels:
 *   CLIENT_X CLIENT_Y CLIENT_W CLIENT_H CLOSE_X CLOSE_Y
 * the client area, and the middle of the close button as the window itself
 * places it (asked with WM_NCHITTEST along the caption's middle line from
 * the right, then up and down from there). Exits 1 while there is no such
 * window. */
#include <stdio.h>
#include <windows.h>

static HWND window;

static int is_close(int x, int y) {
    return SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE;
}

int main(void) {
    RECT client, frame;
    POINT origin = {0, 0};
    window = FindWindowA("AllegroWindow", NULL);
    if (!window || !IsWindowVisible(window) || !GetClientRect(window, &client) ||
        !ClientToScreen(window, &origin) || !GetWindowRect(window, &frame))
        return 1;
    int y = (frame.top + origin.y) / 2, right = frame.right - 1;
    while (right > frame.left && !is_close(right, y)) right--;
    int left = right;
    while (left > frame.left && is_close(left - 1, y)) left--;
    const int x = (left + right) / 2;
    int top = y, bottom = y;
    while (top > frame.top && is_close(x, top - 1)) top--;
    while (bottom < origin.y && is_close(x, bottom + 1)) bottom++;
    if (!is_close(x, y)) return 1;
    printf("%ld %ld %ld %ld %d %d\n", origin.x, origin.y, client.right, client.bottom, x,
           (top + bottom) / 2);
    return 0;
}
