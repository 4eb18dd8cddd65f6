/* What a user sees, timed on the X server itself: the time from a key press (sent with XTEST)
 * to the first change of a window's contents inside a band of rows (reported by XDAMAGE), and
 * the time from starting a program to the first painting of its first window.
 *
 *   keys_to_screen keys WINDOW TOP BOTTOM KEY...   one line per key: "<keysym> <microseconds>
 *                                                 <later>" (-1 when nothing changed within a
 *                                                 second; later: changes in the band from 2 ms
 *                                                 after the echo until the window is quiet)
 *   keys_to_screen launch PROGRAM [ARG...]        "launch_to_paint_ms <ms> <width>x<height> <name>"
 *
 * TOP and BOTTOM are window rows: only damage that reaches into them counts, so that a status
 * line or a clock elsewhere in the window is not taken for the echo. */

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static int damageEvent;

static long long nowUs(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * 1000000 + t.tv_nsec / 1000;
}

/* Windows come and go while a program starts: a damage object on one just destroyed fails. */
static int ignoreErrors(Display* display, XErrorEvent* error)
{
    (void)display;
    (void)error;
    return 0;
}

/* Next event within timeoutUs; 0 when none came. */
static int nextEvent(Display* display, XEvent* event, long long timeoutUs)
{
    const long long end = nowUs() + timeoutUs;
    for (;;) {
        if (XPending(display)) {
            XNextEvent(display, event);
            return 1;
        }
        const long long left = end - nowUs();
        if (left <= 0)
            return 0;
        struct pollfd fd = {ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, (int)((left + 999) / 1000));
    }
}

static int inBand(const XEvent* event, int top, int bottom)
{
    if (event->type != damageEvent + XDamageNotify)
        return 0;
    const XDamageNotifyEvent* damage = (const XDamageNotifyEvent*)event;
    return damage->area.y <= bottom && damage->area.y + damage->area.height > top;
}

/* Waits until the window has stayed unchanged for quietUs (at most maxUs); returns how many
 * changes reached the band meanwhile. */
static int settle(Display* display, long long quietUs, long long maxUs, int top, int bottom)
{
    const long long end = nowUs() + maxUs;
    int inBandChanges = 0;
    XEvent event;
    while (nowUs() < end && nextEvent(display, &event, quietUs))
        inBandChanges += inBand(&event, top, bottom);
    return inBandChanges;
}

static int timeKeys(Display* display, Window window, int top, int bottom, int count, char** keys)
{
    XDamageCreate(display, window, XDamageReportRawRectangles);
    XSync(display, False);
    settle(display, 100000, 2000000, top, bottom);
    for (int i = 0; i < count; ++i) {
        const KeySym sym = XStringToKeysym(keys[i]);
        const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display, sym);
        if (code == 0) {
            fprintf(stderr, "no key for %s\n", keys[i]);
            return 2;
        }
        XEvent event;
        while (XPending(display))
            XNextEvent(display, &event);
        const long long sent = nowUs();
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XFlush(display);
        long long shown = -1;
        while (nextEvent(display, &event, 1000000 - (nowUs() - sent))) {
            if (inBand(&event, top, bottom)) {
                shown = nowUs() - sent;
                break;
            }
        }
        XTestFakeKeyEvent(display, code, False, CurrentTime);
        XFlush(display);
        /* The band changing on after the echo (an animation) would be taken for the next
         * key's echo: counted after the echo's own last strokes, for the bench to refuse. */
        const long long echoed = nowUs();
        while (shown >= 0 && nextEvent(display, &event, 2000 - (nowUs() - echoed))) {
        }
        /* Keys a typist's distance apart, each measured on a quiet window. */
        const int later = settle(display, 15000, 300000, top, bottom);
        printf("%s %lld %d\n", keys[i], shown, later);
    }
    fflush(stdout);
    return 0;
}

static void windowName(Display* display, Window window, char* name, size_t size)
{
    char* text = NULL;
    name[0] = 0;
    if (XFetchName(display, window, &text) && text) {
        snprintf(name, size, "%s", text);
        XFree(text);
    }
}

static int timeLaunch(Display* display, char** argv)
{
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);
    const long long started = nowUs();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[0], argv);
        _exit(127);
    }
    long long painted = -1;
    Window first = 0;
    XEvent event;
    while (nextEvent(display, &event, 30000000 - (nowUs() - started))) {
        if (event.type == CreateNotify)
            XDamageCreate(display, event.xcreatewindow.window, XDamageReportNonEmpty);
        else if (event.type == damageEvent + XDamageNotify) {
            painted = nowUs() - started;
            first = ((XDamageNotifyEvent*)&event)->drawable;
            break;
        }
    }
    char name[256] = "";
    XWindowAttributes attributes;
    memset(&attributes, 0, sizeof attributes);
    if (first) {
        windowName(display, first, name, sizeof name);
        XGetWindowAttributes(display, first, &attributes);
    }
    printf("launch_to_paint_ms %.1f %dx%d %s\n", painted < 0 ? -1.0 : painted / 1000.0,
           attributes.width, attributes.height, name);
    fflush(stdout);
    kill(child, SIGTERM);
    waitpid(child, NULL, 0);
    return painted < 0;
}

int main(int argc, char** argv)
{
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "no X display\n");
        return 2;
    }
    int damageError = 0, major = 0, minor = 0, eventBase = 0, errorBase = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError) ||
        !XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) {
        fprintf(stderr, "the X server lacks XDAMAGE or XTEST\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    if (argc >= 6 && strcmp(argv[1], "keys") == 0)
        return timeKeys(display, (Window)strtoul(argv[2], NULL, 0), atoi(argv[3]), atoi(argv[4]),
                        argc - 5, argv + 5);
    if (argc >= 3 && strcmp(argv[1], "launch") == 0)
        return timeLaunch(display, argv + 2);
    fprintf(stderr, "usage: %s keys WINDOW TOP BOTTOM KEY... | launch PROGRAM [ARG...]\n", argv[0]);
    return 2;
}
