// make_tree ROOT COUNT: makes ROOT (which must not exist) and exactly COUNT folders below it in
// the benchmark trees' shape (tree_shape.h). Exit status 0, or 1 with a message.

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/tree_shape.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_tree ROOT COUNT\n");
        return 1;
    }
    const std::string root = argv[1];
    const long count = std::strtol(argv[2], nullptr, 10);
    if (::mkdir(root.c_str(), 0755) != 0) {
        std::fprintf(stderr, "make_tree: %s: %s\n", root.c_str(), std::strerror(errno));
        return 1;
    }
    for (const std::string& path : trellisane::bench::TreePaths(count)) {
        std::string full = root;
        full += '/';
        full += path;
        if (::mkdir(full.c_str(), 0755) != 0) {
            std::fprintf(stderr, "make_tree: %s: %s\n", full.c_str(), std::strerror(errno));
            return 1;
        }
    }
    return 0;
}
