/* rename_two_threads DIR COUNT: whether the kernel lets two renames in different parent folders
 * proceed at once on the file system of DIR. Makes DIR/p0 and DIR/p1 with COUNT folders each,
 * then renames all of them (by name in the parent's descriptor, never replacing) three ways:
 * one thread, p0's folders then p1's; two threads, one per parent, at the same time; and one
 * thread again, so that a change of load shows. Prints the wall time of each and the ratio of
 * one thread to two: near 2 means the renames ran side by side, near 1 that they queued. Removes
 * what it made. Exit status 0, or 1 on any failure. */

#define _GNU_SOURCE /* NOLINT(bugprone-reserved-identifier): asks glibc for renameat2 */
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

static long g_count;

struct Work {
    int parent;
    const char* from; /* the suffix the names have now ("" at first) */
    const char* to;
    int failed;
};

static void* RenameAll(void* argument) {
    struct Work* work = argument;
    char from[64];
    char to[64];
    for (long i = 0; i < g_count; ++i) {
        snprintf(from, sizeof from, "f%07ld%s", i, work->from);
        snprintf(to, sizeof to, "f%07ld%s", i, work->to);
        if (renameat2(work->parent, from, work->parent, to, RENAME_NOREPLACE) != 0) {
            if (work->failed++ == 0) fprintf(stderr, "rename_two_threads: %s: %s\n", from, strerror(errno));
        }
    }
    return NULL;
}

static double Now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

/* Renames every folder of both parents from suffix `from` to `to`, on one or two threads;
 * returns the seconds it took, or -1. */
static double Round(const int parents[2], const char* from, const char* to, int threads) {
    struct Work work[2] = {{parents[0], from, to, 0}, {parents[1], from, to, 0}};
    const double start = Now();
    if (threads == 1) {
        RenameAll(&work[0]);
        RenameAll(&work[1]);
    } else {
        pthread_t other;
        if (pthread_create(&other, NULL, RenameAll, &work[1]) != 0) return -1;
        RenameAll(&work[0]);
        pthread_join(other, NULL);
    }
    const double took = Now() - start;
    return work[0].failed + work[1].failed == 0 ? took : -1;
}

int main(int argc, char** argv) {
    if (argc != 3 || (g_count = atol(argv[2])) <= 0) {
        fprintf(stderr, "usage: rename_two_threads DIR COUNT\n");
        return 1;
    }
    char path[4096];
    int parents[2];
    for (int p = 0; p < 2; ++p) {
        snprintf(path, sizeof path, "%s/p%d", argv[1], p);
        if (mkdir(path, 0755) != 0) {
            perror(path);
            return 1;
        }
        parents[p] = open(path, O_PATH | O_DIRECTORY | O_CLOEXEC);
        for (long i = 0; i < g_count; ++i) {
            char name[64];
            snprintf(name, sizeof name, "f%07ld", i);
            if (mkdirat(parents[p], name, 0755) != 0) {
                perror(name);
                return 1;
            }
        }
    }
    sync();
    const double one = Round(parents, "", "_a", 1);
    const double two = Round(parents, "_a", "_b", 2);
    const double again = Round(parents, "_b", "_c", 1);
    printf("renames: %ld in each of 2 parents\n", g_count);
    printf("one thread: %.3f s, two threads: %.3f s, one thread again: %.3f s\n", one, two, again);
    if (one > 0 && two > 0 && again > 0) {
        printf("one thread / two threads: %.2f (1.00: the renames queue; 2.00: side by side)\n",
               (one + again) / 2 / two);
    }
    for (int p = 0; p < 2; ++p) {
        for (long i = 0; i < g_count; ++i) {
            char name[64];
            snprintf(name, sizeof name, "f%07ld_c", i);
            unlinkat(parents[p], name, AT_REMOVEDIR);
        }
        close(parents[p]);
        snprintf(path, sizeof path, "%s/p%d", argv[1], p);
        rmdir(path);
    }
    return one > 0 && two > 0 && again > 0 ? 0 : 1;
}
