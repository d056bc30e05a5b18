/* frame_counter: counts the frames a window presents, from outside, through
 * the X DAMAGE extension. The jukebox ends each frame with one copy of its
 * back buffer to the window, which the server reports as one damage
 * operation; pointer motion and screenshots report none.
 *
 *   frame_counter WINDOW_ID [SECONDS]     (decimal or 0x hex; uses $DISPLAY)
 *
 * Prints "ready" once counting has begun, then one line per whole second
 * after that: "SECOND FRAMES", the second's number from 1 and the damage
 * operations in it. Lines are flushed as they are written. Ends after
 * SECONDS seconds (when given), on SIGTERM or SIGINT (the unfinished second
 * is not printed), or when the window is destroyed ("gone"). Exits 0 then,
 * 1 when the display, the extension or the window is not there, 2 on bad
 * arguments. Single-threaded. */
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static volatile sig_atomic_t stop_requested = 0;
static int x_error_seen = 0;

static void on_signal(int sig)
{
    (void)sig;
    stop_requested = 1;
}

static int on_x_error(Display *display, XErrorEvent *error)
{
    (void)display;
    (void)error;
    x_error_seen = 1;
    return 0;
}

static double now_seconds(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

/* Counts one operation per run of damage rectangles: each run ends with an
 * event whose `more` is false. Returns 0 when the window has gone. */
static int take_events(Display *display, int damage_event, long *frames)
{
    while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == DestroyNotify)
            return 0;
        if (event.type == damage_event + XDamageNotify &&
            !((XDamageNotifyEvent *)&event)->more)
            (*frames)++;
    }
    return 1;
}

static int parse_args(int argc, char **argv, Window *window, long *seconds)
{
    if (argc < 2 || argc > 3)
        return 0;
    char *end = NULL;
    *window = strtoul(argv[1], &end, 0);
    if (!end || *end || *window == 0)
        return 0;
    *seconds = -1;
    if (argc == 3) {
        *seconds = strtol(argv[2], &end, 10);
        if (!end || *end || *seconds < 1)
            return 0;
    }
    return 1;
}

int main(int argc, char **argv)
{
    Window window;
    long seconds;
    if (!parse_args(argc, argv, &window, &seconds)) {
        fprintf(stderr, "usage: frame_counter WINDOW_ID [SECONDS]\n");
        return 2;
    }
    Display *display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "frame_counter: cannot open the display\n");
        return 1;
    }
    int damage_event, damage_error;
    if (!XDamageQueryExtension(display, &damage_event, &damage_error)) {
        fprintf(stderr, "frame_counter: the X server has no DAMAGE extension\n");
        return 1;
    }
    XSetErrorHandler(on_x_error);
    XSelectInput(display, window, StructureNotifyMask);
    XDamageCreate(display, window, XDamageReportRawRectangles);
    XSync(display, False);
    if (x_error_seen) {
        fprintf(stderr, "frame_counter: no window %s\n", argv[1]);
        return 1;
    }
    signal(SIGTERM, on_signal);
    signal(SIGINT, on_signal);
    setvbuf(stdout, NULL, _IOLBF, 0);
    printf("ready\n");

    struct pollfd fd = {ConnectionNumber(display), POLLIN, 0};
    const double start = now_seconds();
    long second = 1, frames = 0;
    while (!stop_requested && (seconds < 0 || second <= seconds)) {
        double wait = start + (double)second - now_seconds();
        if (wait <= 0) {
            printf("%ld %ld\n", second, frames);
            second++;
            frames = 0;
            continue;
        }
        if (poll(&fd, 1, (int)(wait * 1000) + 1) < 0 && errno != EINTR)
            break;
        if (!take_events(display, damage_event, &frames)) {
            printf("gone\n");
            break;
        }
    }
    XCloseDisplay(display);
    return 0;
}
