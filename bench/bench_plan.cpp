// Times the plan of a run (every row's predicted fate) over 100,000 real folders, then runs the
// renames and checks that every prediction came true.
//
// Variants, each under "Add x to end" (every row renamed) and "Remove numeric" (every name
// but the first in a folder claimed by an earlier row):
//   flat          every folder directly in one parent
//   nested        a tree with ten sub-folders per folder, listed deepest first (one add)
//   parents-first the same tree listed outermost first, so the plan carries rows along

#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <vector>

#include "engine/preview.h"
#include "folders/folder_list.h"
#include "rename/rename_plan.h"
#include "rename/rename_run.h"

namespace {

using namespace trellisane;
using Clock = std::chrono::steady_clock;

/// The processor time this process has used, user and system, in milliseconds: on a machine
/// shared with other work it tells the plan's own cost where the wall clock cannot.
double CpuMilliseconds(bool kernelOnly = false) {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
    };
    return (kernelOnly ? 0.0 : ms(usage.ru_utime)) + ms(usage.ru_stime);
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

/// Makes `count` folders below `root`, every folder after its parent; returns their paths.
QStringList MakeTree(const QString& root, int count, Shape shape) {
    QStringList paths;
    paths.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("folder%1").arg(i, 6, 10, QChar(u'0'));
        const QString parent = shape == Shape::Flat || i == 0 ? root + u'/' : paths[(i - 1) / 10];
        paths << parent + name + u'/';
        if (::mkdir(QFile::encodeName(paths.back()).constData(), 0755) != 0) {
            std::perror("mkdir");
            std::exit(1);
        }
    }
    return paths;
}

void Measure(const QString& base, int count, Shape shape, const QString& operation) {
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
    bool previewBusy = false;
    PreviewHooks hooks;
    hooks.selectorText = [&] { return operation; };
    hooks.ask = [](const QString&) { return QStringLiteral("_old"); };
    hooks.enableStartRenaming = [] {};
    PreviewRename(previewBusy, list, hooks);

    const auto start = Clock::now();
    const double cpuStart = CpuMilliseconds();
    const double kernelStart = CpuMilliseconds(true);
    const RenamePlan plan = PlanRenames(list.Rows());
    const double cpuMs = CpuMilliseconds() - cpuStart;
    const double kernelMs = CpuMilliseconds(true) - kernelStart;
    const double planMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();

    const RenameRun run = ApplyRenames(list, {});
    qsizetype wrong = 0;
    qsizetype renamed = 0;
    for (size_t i = 0; i < run.outcomes.size(); ++i) {
        if (!(plan.fates[i] == run.outcomes[i].fate)) ++wrong;
        if (plan.finalPaths[i] != list.Row(static_cast<qsizetype>(i) + 1).current) ++wrong;
        if (run.outcomes[i].fate.status == RowStatus::Renamed) ++renamed;
    }
    std::printf("%-14s %-16s %8d %10.1f %10.1f %10.1f %10.2f %10lld %8lld\n", NameOf(shape),
                qPrintable(operation.left(14)), count, planMs, cpuMs, kernelMs,
                1000.0 * cpuMs / count, static_cast<long long>(renamed),
                static_cast<long long>(wrong));
    std::fflush(stdout);
    if (wrong != 0) std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    // An argument names the one variant to measure, in /dev/shm only (for a profiler).
    const QString only = argc > 1 ? QString::fromUtf8(argv[1]) : QString();
    const bool shm = QDir(QStringLiteral("/dev/shm")).exists() &&
                     QFile::permissions(QStringLiteral("/dev/shm")) & QFile::WriteUser;
    std::printf("%-14s %-16s %8s %10s %10s %10s %10s %10s %8s\n", "variant", "operation", "rows",
                "plan ms", "cpu ms", "kernel ms", "cpu us/row", "renamed", "wrong");
    QStringList bases{shm ? QStringLiteral("/dev/shm") : QDir::tempPath(), QDir::tempPath()};
    if (!only.isEmpty()) bases.removeLast();
    for (const QString& base : bases) {
        std::printf("Folders in %s\n", qPrintable(base));
        for (Shape shape : {Shape::Flat, Shape::Nested, Shape::ParentsFirst}) {
            if (!only.isEmpty() && only != QString::fromUtf8(NameOf(shape))) continue;
            for (const char* operation : {"Add x to end of each in folder(s)",
                                          "Remove numeric character(s) in folder(s)"}) {
                Measure(base, 100000, shape, QString::fromUtf8(operation));
            }
        }
    }
    return 0;
}
