/* renameat2_loop LIST SUFFIX [dirfd]: the floor for renaming a listed tree. Reads one path per
 * line from LIST (as `find DIR -depth -type d` writes them, deepest first) and renames each to
 * the same path with SUFFIX appended, never replacing anything (RENAME_NOREPLACE). Nothing else:
 * no checks, no conversions. With "dirfd", each rename is made by name in its parent folder's
 * descriptor (O_PATH, the last few parents kept open) instead of by whole path, so the kernel
 * does not walk the path again: the floor of a renamer that keeps descriptors. Exit status 0
 * when every rename succeeded, 1 otherwise. */

#define _GNU_SOURCE /* NOLINT(bugprone-reserved-identifier): asks glibc for renameat2 */
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

/* The last few parent folders, open. */
#define KEPT 8
static char* g_keptPath[KEPT];
static int g_keptFd[KEPT];
static unsigned long g_keptUsed[KEPT];
static unsigned long g_clock;

/* A descriptor of `parent` (which this call may not keep), or -1. */
static int ParentFd(const char* parent) {
    int oldest = 0;
    for (int i = 0; i < KEPT; ++i) {
        if (g_keptPath[i] != NULL && strcmp(g_keptPath[i], parent) == 0) {
            g_keptUsed[i] = ++g_clock;
            return g_keptFd[i];
        }
        if (g_keptUsed[i] < g_keptUsed[oldest]) oldest = i;
    }
    if (g_keptPath[oldest] != NULL) {
        close(g_keptFd[oldest]);
        free(g_keptPath[oldest]);
    }
    g_keptPath[oldest] = strdup(parent);
    g_keptFd[oldest] = open(parent, O_PATH | O_DIRECTORY | O_CLOEXEC);
    g_keptUsed[oldest] = ++g_clock;
    return g_keptFd[oldest];
}

int main(int argc, char** argv) {
    if (argc != 3 && !(argc == 4 && strcmp(argv[3], "dirfd") == 0)) {
        fprintf(stderr, "usage: renameat2_loop LIST SUFFIX [dirfd]\n");
        return 1;
    }
    const int byDescriptor = argc == 4;
    FILE* list = fopen(argv[1], "r");
    if (list == NULL) {
        perror(argv[1]);
        return 1;
    }
    const size_t suffixLength = strlen(argv[2]);
    char* line = NULL;
    size_t capacity = 0;
    char* target = NULL;
    size_t targetCapacity = 0;
    long failed = 0;
    ssize_t length;
    while ((length = getline(&line, &capacity, list)) > 0) {
        if (line[length - 1] == '\n') line[--length] = '\0';
        if ((size_t)length + suffixLength + 1 > targetCapacity) {
            targetCapacity = (size_t)length + suffixLength + 1;
            char* grown = realloc(target, targetCapacity);
            if (grown == NULL) {
                free(target);
                return 1;
            }
            target = grown;
        }
        memcpy(target, line, (size_t)length);
        memcpy(target + length, argv[2], suffixLength + 1);
        int result;
        char* slash = byDescriptor ? strrchr(line, '/') : NULL;
        if (slash != NULL && slash != line) {
            const size_t nameAt = (size_t)(slash - line) + 1;
            *slash = '\0';
            const int parent = ParentFd(line);
            *slash = '/';
            result = renameat2(parent, line + nameAt, parent, target + nameAt, RENAME_NOREPLACE);
        } else {
            result = renameat2(AT_FDCWD, line, AT_FDCWD, target, RENAME_NOREPLACE);
        }
        if (result != 0) {
            if (failed++ == 0) fprintf(stderr, "renameat2_loop: %s: %s\n", line, strerror(errno));
        }
    }
    fclose(list);
    free(line);
    free(target);
    return failed == 0 ? 0 : 1;
}
