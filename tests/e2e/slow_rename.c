/* A test-only LD_PRELOAD library that slows every rename the program makes, so that an
 * end-to-end test can act in the middle of a run (press Cancel, close the window, kill the
 * program) whatever the speed of the machine.
 *
 * It wraps rename(), renameat(), renameat2() and syscall(SYS_rename*): before passing each call
 * on to the C library, it sleeps
 *   - the microseconds held in the file named by TRELLISANE_TEST_RENAME_DELAY_FILE, read again
 *     before every call (so a test can speed a run up or slow it down while it goes; a missing
 *     or empty file means no delay), or else
 *   - TRELLISANE_TEST_RENAME_DELAY_US microseconds.
 * With neither variable set it adds nothing. It never changes what the call does or returns.
 * The C library's headers name the parameters of these functions in their own reserved way,
 * hence the NOLINT on each definition. Built with _GNU_SOURCE (RTLD_NEXT, renameat2). */

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

/* The delay in microseconds, from a decimal text; 0 for anything else. */
static unsigned long parse_delay(const char *text) {
    if (text == NULL) return 0;
    char *end = NULL;
    const unsigned long value = strtoul(text, &end, 10);
    return end == text ? 0 : value;
}

static unsigned long current_delay(void) {
    const char *file = getenv("TRELLISANE_TEST_RENAME_DELAY_FILE");
    if (file != NULL && file[0] != '\0') {
        char text[32] = {0};
        const int fd = open(file, O_RDONLY | O_CLOEXEC);
        if (fd < 0) return 0;
        const ssize_t got = read(fd, text, sizeof text - 1);
        close(fd);
        return got > 0 ? parse_delay(text) : 0;
    }
    return parse_delay(getenv("TRELLISANE_TEST_RENAME_DELAY_US"));
}

/* Sleeps the current delay; keeps errno as it was, since callers read it after the call. */
static void slow_down(void) {
    const int saved = errno;
    const unsigned long delay = current_delay();
    if (delay > 0) {
        struct timespec pause = {(time_t)(delay / 1000000UL), (long)(delay % 1000000UL) * 1000L};
        while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
        }
    }
    errno = saved;
}

/* The C library's own function `name`, copied into the function pointer at `target` (a data
 * pointer may not be cast to a function pointer in ISO C; its bytes may be copied). */
static void next_symbol(const char *name, void *target, size_t size) {
    void *symbol = dlsym(RTLD_NEXT, name);
    memcpy(target, &symbol, size);
}

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
int rename(const char *from, const char *to) {
    typedef int (*rename_fn)(const char *, const char *);
    rename_fn real = NULL;
    next_symbol("rename", &real, sizeof real);
    slow_down();
    if (real == NULL) {
        errno = ENOSYS;
        return -1;
    }
    return real(from, to);
}

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
int renameat(int from_dir, const char *from, int to_dir, const char *to) {
    typedef int (*renameat_fn)(int, const char *, int, const char *);
    renameat_fn real = NULL;
    next_symbol("renameat", &real, sizeof real);
    slow_down();
    if (real == NULL) {
        errno = ENOSYS;
        return -1;
    }
    return real(from_dir, from, to_dir, to);
}

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
int renameat2(int from_dir, const char *from, int to_dir, const char *to, unsigned int flags) {
    typedef int (*renameat2_fn)(int, const char *, int, const char *, unsigned int);
    renameat2_fn real = NULL;
    next_symbol("renameat2", &real, sizeof real);
    slow_down();
    if (real == NULL) {
        errno = ENOSYS;
        return -1;
    }
    return real(from_dir, from, to_dir, to, flags);
}

/* syscall() takes up to six word-sized arguments; every one is passed on as it came. */
// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
long syscall(long number, ...) {
    typedef long (*syscall_fn)(long, ...);
    syscall_fn real = NULL;
    next_symbol("syscall", &real, sizeof real);
    va_list list;
    va_start(list, number);
    long args[6];
    for (int i = 0; i < 6; ++i) args[i] = va_arg(list, long);
    va_end(list);
    if (number == SYS_renameat2 || number == SYS_renameat
#ifdef SYS_rename
        || number == SYS_rename
#endif
    ) {
        slow_down();
    }
    if (real == NULL) {
        errno = ENOSYS;
        return -1;
    }
    return real(number, args[0], args[1], args[2], args[3], args[4], args[5]);
}
