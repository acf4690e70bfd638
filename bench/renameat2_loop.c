/* renameat2_loop LIST SUFFIX: the floor for renaming a listed tree. Reads one path per line from
 * LIST (as `find DIR -depth -type d` writes them, deepest first) and renames each to the same
 * path with SUFFIX appended, never replacing anything (RENAME_NOREPLACE). Nothing else: no
 * checks, no conversions. Exit status 0 when every rename succeeded, 1 otherwise. */

#define _GNU_SOURCE /* NOLINT(bugprone-reserved-identifier): asks glibc for renameat2 */
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: renameat2_loop LIST SUFFIX\n");
        return 1;
    }
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
        if (renameat2(AT_FDCWD, line, AT_FDCWD, target, RENAME_NOREPLACE) != 0) {
            if (failed++ == 0) fprintf(stderr, "renameat2_loop: %s: %s\n", line, strerror(errno));
        }
    }
    fclose(list);
    free(line);
    free(target);
    return failed == 0 ? 0 : 1;
}
