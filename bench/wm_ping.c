/* wm_ping WINDOW [INTERVAL_MS]: how long a real window's event loop is kept from running,
 * measured from outside the program, as a window manager sees it.
 *
 * Sends the window _NET_WM_PING (the window manager's "are you alive" message, which the
 * toolkit answers from the thread that runs the window's events) every INTERVAL_MS
 * milliseconds (default 10), waits for each answer before sending the next, and keeps how long
 * each took. An answer that takes 200 ms means the window could not handle input or paint for
 * about that long. Runs until SIGINT or SIGTERM, or until the window is gone, then prints on
 * standard output one line of key=value pairs:
 *
 *   pings=N max_ms=M p99_ms=P over50=K over50_ms=S
 *
 * (the answers, the longest wait, the 99th percentile, how many waits were over 50 ms and
 * their sum), followed by one line "stall START_S LENGTH_MS" for each wait over 50 ms, START_S
 * counted from the tool's start. An answer still awaited when the tool is stopped counts as a
 * wait up to then. Xlib only; no toolkit. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static volatile sig_atomic_t stop_requested = 0;
static void on_signal(int sig) {
    (void)sig;
    stop_requested = 1;
}

static double now_s(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

static int compare_doubles(const void* a, const void* b) {
    const double x = *(const double*)a, y = *(const double*)b;
    return (x > y) - (x < y);
}

static int window_gone = 0;
static int on_x_error(Display* display, XErrorEvent* error) {
    (void)display;
    if (error->error_code == BadWindow) window_gone = 1;
    return 0;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: wm_ping WINDOW [INTERVAL_MS]\n");
        return 2;
    }
    const Window window = (Window)strtoul(argv[1], NULL, 0);
    const int interval_ms = argc > 2 ? atoi(argv[2]) : 10;
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "wm_ping: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(on_x_error);
    const Window root = DefaultRootWindow(display);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    /* The answer goes to the root window, to those selecting its structure (Qt's mask) or its
     * substructure (the mask the EWMH conventions name). */
    XSelectInput(display, root, StructureNotifyMask | SubstructureNotifyMask);

    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = on_signal;
    sigaction(SIGINT, &action, NULL);
    sigaction(SIGTERM, &action, NULL);

    size_t count = 0, capacity = 4096;
    double* waits = malloc(capacity * sizeof *waits);
    size_t stall_count = 0, stall_capacity = 64;
    double(*stalls)[2] = malloc(stall_capacity * sizeof *stalls);
    const double start = now_s();
    unsigned long serial = 1;

    while (!stop_requested && !window_gone) {
        XEvent message;
        memset(&message, 0, sizeof message);
        message.xclient.type = ClientMessage;
        message.xclient.window = window;
        message.xclient.message_type = protocols;
        message.xclient.format = 32;
        message.xclient.data.l[0] = (long)ping;
        message.xclient.data.l[1] = (long)serial; /* stands for the timestamp; echoed back */
        message.xclient.data.l[2] = (long)window;
        XSendEvent(display, window, False, NoEventMask, &message);
        XFlush(display);
        const double sent = now_s();
        int answered = 0;
        while (!answered && !stop_requested && !window_gone) {
            while (XPending(display)) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type == ClientMessage && event.xclient.message_type == protocols &&
                    (Atom)event.xclient.data.l[0] == ping &&
                    (unsigned long)event.xclient.data.l[1] == serial)
                    answered = 1;
            }
            if (answered) break;
            struct pollfd fd = {ConnectionNumber(display), POLLIN, 0};
            poll(&fd, 1, 100);
            XSync(display, False); /* notices a window that is gone (BadWindow) */
        }
        const double waited = (now_s() - sent) * 1000.0;
        if (count == capacity) {
            double* grown = realloc(waits, (capacity *= 2) * sizeof *waits);
            if (!grown) break;
            waits = grown;
        }
        waits[count++] = waited;
        if (waited > 50.0) {
            if (stall_count == stall_capacity) {
                double(*grown)[2] = realloc(stalls, (stall_capacity *= 2) * sizeof *stalls);
                if (!grown) break;
                stalls = grown;
            }
            stalls[stall_count][0] = sent - start;
            stalls[stall_count][1] = waited;
            ++stall_count;
        }
        ++serial;
        struct timespec pause = {0, (long)interval_ms * 1000000L};
        nanosleep(&pause, NULL);
    }

    double over_sum = 0.0;
    for (size_t i = 0; i < stall_count; ++i) over_sum += stalls[i][1];
    qsort(waits, count, sizeof *waits, compare_doubles);
    const double max = count ? waits[count - 1] : 0.0;
    const double p99 = count ? waits[(count * 99) / 100 < count ? (count * 99) / 100 : count - 1] : 0.0;
    printf("pings=%zu max_ms=%.1f p99_ms=%.1f over50=%zu over50_ms=%.0f\n", count, max, p99,
           stall_count, over_sum);
    for (size_t i = 0; i < stall_count; ++i) printf("stall %.3f %.1f\n", stalls[i][0], stalls[i][1]);
    XCloseDisplay(display);
    free(waits);
    free(stalls);
    return 0;
}
