#pragma once

// The shape of every benchmark tree, shared by the tree maker and the in-process figures so
// that both measure the same names.

#include <string>
#include <vector>

namespace trellisane::bench {

/// Sub-folders per folder.
inline constexpr long kFanOut = 10;

/// The name of the `index`-th sub-folder (0 to kFanOut - 1) of a folder `level` levels below
/// the root (1 for the root's own sub-folders): blanks, digits and brackets, about as long as
/// a real folder's name, e.g. "Folder 3 [07]".
inline std::string TreeName(int level, long index) {
    std::string name = "Folder " + std::to_string(level) + " [";
    if (index < 10) name += '0';
    return name + std::to_string(index) + ']';
}

/// The paths, relative to the root and without a trailing separator, of exactly `count`
/// folders below it: level by level (every parent before its sub-folders), kFanOut per
/// folder, the last level filled from its first parent on. 1,000 folders reach three levels
/// down, 1,000,000 six. O(count).
inline std::vector<std::string> TreePaths(long count) {
    std::vector<std::string> paths;
    paths.reserve(static_cast<size_t>(count));
    std::vector<long> levelOf;  // the level of paths[i]
    levelOf.reserve(static_cast<size_t>(count));
    // The root's sub-folders first, then those of paths[0], paths[1], ... in order.
    for (long parent = -1; static_cast<long>(paths.size()) < count; ++parent) {
        const int level = parent < 0 ? 1 : static_cast<int>(levelOf[parent]) + 1;
        for (long i = 0; i < kFanOut && static_cast<long>(paths.size()) < count; ++i) {
            const std::string name = TreeName(level, i);
            paths.push_back(parent < 0 ? name : paths[parent] + '/' + name);
            levelOf.push_back(level);
        }
    }
    return paths;
}

}  // namespace trellisane::bench
