// Times the preview pass and the rename pass on real folder trees of 25,000 to 100,000 folders,
// in /dev/shm where there is one, and shows how the time grows with the number of rows.
//
// Variants:
//   flat          every folder directly in one parent
//   nested        a tree with ten sub-folders per folder, listed deepest first (one add)
//   parents-first the same tree listed outermost first, so every rename carries the rows of
//                 the folders inside it along before their turn

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <map>
#include <vector>

#include "engine/preview.h"
#include "folders/folder_list.h"
#include "rename/start_renaming.h"

namespace {

using namespace trellisane;
using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

enum class Shape { Flat, Nested, ParentsFirst };

const char* NameOf(Shape shape) {
    switch (shape) {
        case Shape::Flat:
            return "flat";
        case Shape::Nested:
            return "nested";
        case Shape::ParentsFirst:
            return "parents-first";
    }
    return "";
}

/// Makes `count` folders below `root` and returns their paths (ending with '/') in the order
/// they were made: every folder after its parent.
QStringList MakeTree(const QString& root, int count, Shape shape) {
    QStringList paths;
    paths.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("folder%1").arg(i, 6, 10, QChar(u'0'));
        // In the tree, folder i lives in folder (i - 1) / 10, and folder 0 at the top.
        const QString parent = shape == Shape::Flat || i == 0 ? root + u'/' : paths[(i - 1) / 10];
        paths << parent + name + u'/';
        if (::mkdir(QFile::encodeName(paths.back()).constData(), 0755) != 0) {
            std::perror("mkdir");
            std::exit(1);
        }
    }
    return paths;
}

struct Figures {
    double previewMs = 0;
    double applyMs = 0;
    double carryMs = 0;
};

Figures Measure(const QString& base, int count, Shape shape) {
    QTemporaryDir dir(base + QStringLiteral("/trellisane-bench-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder in %s\n", qPrintable(base));
        std::exit(1);
    }
    const QStringList made = MakeTree(dir.path(), count, shape);

    FolderList list;
    if (shape == Shape::ParentsFirst) {
        list.AppendInOrder(made);
    } else {
        list.AppendBatch(made);
    }

    Figures figures;
    bool previewBusy = false;
    PreviewHooks hooks;
    hooks.selectorText = [] { return QStringLiteral("Add x to end of each in folder(s)"); };
    hooks.ask = [](const QString&) { return QStringLiteral("_old"); };
    hooks.enableStartRenaming = [] {};
    auto start = Clock::now();
    PreviewRename(previewBusy, list, hooks);
    figures.previewMs = MillisecondsSince(start);

    qsizetype failed = 0;
    start = Clock::now();
    const RenameRun run = ApplyRenames(list, [&](const RowOutcome&) { ++failed; });
    figures.applyMs = MillisecondsSince(start);

    // The paths made before the run, carried to where their folders are now.
    QStringList carried = made;
    start = Clock::now();
    CarryThroughMoves(carried, run.moves);
    figures.carryMs = MillisecondsSince(start);

    // Every folder renamed, the list and the carried paths naming folders that exist.
    qsizetype missing = 0;
    for (const FolderRow& row : list.Rows()) {
        if (!row.current.endsWith(QStringLiteral("_old/"))) ++missing;
    }
    for (const QString& path : carried) {
        struct stat status {};
        if (::lstat(QFile::encodeName(path).constData(), &status) != 0) ++missing;
    }
    if (failed != 0 || missing != 0) {
        std::fprintf(stderr, "%s %d: %lld failed, %lld paths wrong\n", NameOf(shape), count,
                     static_cast<long long>(failed), static_cast<long long>(missing));
        std::exit(1);
    }
    return figures;
}

}  // namespace

int main() {
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() &&
                                 QFile::permissions(QStringLiteral("/dev/shm")) & QFile::WriteUser
                             ? QStringLiteral("/dev/shm")
                             : QDir::tempPath();
    std::printf("Folders in %s; preview \"Add x to end\" then rename every folder.\n\n",
                qPrintable(base));
    std::printf("%-14s %8s %12s %12s %12s %14s\n", "variant", "rows", "preview ms", "rename ms",
                "carry ms", "rename us/row");

    const std::vector<int> sizes = {25000, 50000, 100000};
    for (Shape shape : {Shape::Flat, Shape::Nested, Shape::ParentsFirst}) {
        std::map<int, Figures> bySize;
        for (int size : sizes) {
            const Figures f = Measure(base, size, shape);
            bySize[size] = f;
            std::printf("%-14s %8d %12.1f %12.1f %12.1f %14.2f\n", NameOf(shape), size, f.previewMs,
                        f.applyMs, f.carryMs, 1000.0 * f.applyMs / size);
        }
        const Figures& small = bySize[sizes.front()];
        const Figures& large = bySize[sizes.back()];
        std::printf("%-14s 4x the rows: preview x%.1f, rename x%.1f (x4 is linear)\n\n",
                    NameOf(shape), large.previewMs / small.previewMs,
                    large.applyMs / small.applyMs);
    }
    return 0;
}
