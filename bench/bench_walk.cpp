// Walks a tree of about 100,000 folders and sorts the gathering into a batch, printing how long
// each step took and the longest stretch between two yield points of the walk.

#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "folders/folder_list.h"
#include "folders/path_separator.h"
#include "folders/subfolder_walk.h"

using namespace trellisane;

namespace {

/// A fresh folder for the tree: on /dev/shm where it can be written (memory, no disk noise),
/// else in the temporary folder.
std::filesystem::path MakeBase() {
    std::error_code error;
    for (const char* parent : {"/dev/shm", "/tmp"}) {
        if (access(parent, W_OK) != 0) continue;
        const std::filesystem::path base =
            std::filesystem::path(parent) / ("trellisane-bench-walk-" + std::to_string(getpid()));
        if (std::filesystem::create_directory(base, error)) return base;
    }
    return {};
}

/// Fan-out per level: 10 x 10 x 10 x 100 = 100,000 folders at the bottom, 1,110 above them.
constexpr int kFanOut[] = {10, 10, 10, 100};

long MakeTree(const std::filesystem::path& folder, int level) {
    if (level == static_cast<int>(std::size(kFanOut))) return 0;
    long made = 0;
    for (int i = 0; i < kFanOut[level]; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Folder %03d", i);
        const std::filesystem::path child = folder / name;
        std::filesystem::create_directory(child);
        made += 1 + MakeTree(child, level + 1);
    }
    return made;
}

}  // namespace

int main() {
    const std::filesystem::path base = MakeBase();
    if (base.empty()) {
        std::fprintf(stderr, "bench_walk: no writable temporary folder\n");
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    const long made = MakeTree(base, 0);
    std::printf("tree: %ld folders made under %s in %lld ms\n", made, base.c_str(),
                static_cast<long long>(timer.elapsed()));

    // The longest stretch between two polls is how long a caller that yields there could be
    // kept from its events.
    QElapsedTimer sincePoll;
    qint64 longestNs = 0;
    long polls = 0;
    WalkHooks hooks;
    hooks.cancelled = [&] {
        longestNs = std::max(longestNs, sincePoll.nsecsElapsed());
        sincePoll.restart();
        ++polls;
        return false;
    };
    hooks.report = [](const QString& description, int line) {
        std::fprintf(stderr, "report at line %d: %s\n", line, qPrintable(description));
    };

    QStringList folders{QFile::decodeName(base.c_str()) + kPathSeparator};
    timer.restart();
    sincePoll.start();
    GetSubDirectories2016(folders, true, hooks);
    const qint64 walkMs = timer.elapsed();
    std::printf(
        "walk: %lld folders gathered in %lld ms (%ld yield points, longest stretch "
        "between two %.3f ms)\n",
        static_cast<long long>(folders.size()), static_cast<long long>(walkMs), polls,
        longestNs / 1e6);

    timer.restart();
    const QStringList sorted = SortBatch(folders, kPathSeparator);
    std::printf("sort: %lld paths in depth order in %lld ms\n",
                static_cast<long long>(sorted.size()), static_cast<long long>(timer.elapsed()));

    timer.restart();
    FolderList list;
    list.AppendBatch(folders);
    std::printf("append: %lld rows (sort included) in %lld ms\n",
                static_cast<long long>(list.Count()), static_cast<long long>(timer.elapsed()));

    timer.restart();
    std::error_code error;
    std::filesystem::remove_all(base, error);
    std::printf("cleanup: %s in %lld ms\n", error ? error.message().c_str() : "removed",
                static_cast<long long>(timer.elapsed()));
    return folders.size() == made + 1 ? 0 : 1;
}
