// In-process figures, with Google Benchmark: the sub-folder walk and the rename pass on real
// trees, the batch sort, the preview pass and path carrying on the same paths in memory, at
// 1,000 to 1,000,000 folders.
//
// The trees come from make_tree, one per size, named after their folder count inside the folder
// given by TRELLISANE_BENCH_TREES (scripts/bench.sh makes them). Without it the walk and the
// rename pass are skipped and the in-memory figures use made-up paths of the same shape.

#include <benchmark/benchmark.h>

#include <QFile>
#include <QString>
#include <QStringList>
#include <cstdlib>
#include <map>
#include <string>

#include "bench/tree_shape.h"
#include "engine/preview.h"
#include "folders/folder_list.h"
#include "folders/folder_tree.h"
#include "folders/path_separator.h"
#include "folders/subfolder_walk.h"
#include "rename/rename_run.h"

namespace {

using namespace trellisane;

/// The folder holding the trees, or "" when none was given.
std::string TreesFolder() {
    const char* folder = std::getenv("TRELLISANE_BENCH_TREES");
    return folder == nullptr ? std::string() : std::string(folder);
}

/// The root of the tree of `count` folders, ending with the separator. When no trees were made
/// it names a folder that need not exist.
QString TreeRoot(long count) {
    const std::string trees = TreesFolder();
    const std::string root =
        (trees.empty() ? std::string("/nonexistent/trellisane-bench") : trees) + '/' +
        std::to_string(count) + '/';
    return QFile::decodeName(root.c_str());
}

/// The root and every folder of the tree of `count` folders, in the walk's order: level by
/// level, parents first. Each ends with the separator.
QStringList Gathered(long count) {
    const QString root = TreeRoot(count);
    QStringList paths{root};
    paths.reserve(count + 1);
    for (const std::string& path : bench::TreePaths(count)) {
        paths << root + QFile::decodeName(path.c_str()) + kPathSeparator;
    }
    return paths;
}

/// Preview hooks for one operation with every prompt answered by `answer`.
PreviewHooks Hooks(const QString& operation, QString answer) {
    PreviewHooks hooks;
    hooks.selectorText = [operation] { return operation; };
    hooks.ask = [answer = std::move(answer)](const QString&) { return answer; };
    hooks.enableStartRenaming = [] {};
    return hooks;
}

const QString kAddToEnd = QStringLiteral("Add x to end of each in folder(s)");

bool NeedsTrees(benchmark::State& state) {
    if (!TreesFolder().empty()) return true;
    state.SkipWithError("TRELLISANE_BENCH_TREES names no folder of trees");
    return false;
}

void Rows(benchmark::State& state, long rows) {
    state.SetItemsProcessed(state.iterations() * rows);
    state.counters["rows"] = static_cast<double>(rows);
}

/// The walk of a whole tree from its root, as "Add Folder/s" with sub-folders does it.
void BM_Walk(benchmark::State& state) {
    if (!NeedsTrees(state)) return;
    const long count = state.range(0);
    qsizetype found = 0;
    for (auto _ : state) {
        QStringList folders{TreeRoot(count)};
        GetSubDirectories2016(folders, true);
        found = folders.size();
        benchmark::DoNotOptimize(folders.data());
    }
    if (found != count + 1) state.SkipWithError("the walk did not find every folder");
    Rows(state, count + 1);
}

/// Sorting a gathering deepest first, as every batch is before it is appended.
void BM_Sort(benchmark::State& state) {
    const QStringList gathered = Gathered(state.range(0));
    for (auto _ : state) {
        QStringList sorted = SortBatch(gathered, kPathSeparator);
        benchmark::DoNotOptimize(sorted.data());
    }
    Rows(state, gathered.size());
}

/// Ordering a gathering that the walk filed in a tree, as the companion's listing does: the
/// nodes are ranked, no path is read.
void BM_SortTree(benchmark::State& state) {
    const QStringList gathered = Gathered(state.range(0));
    FolderTree tree(kPathSeparator);
    std::vector<FolderTree::NodeId> nodes;
    nodes.reserve(static_cast<size_t>(gathered.size()));
    for (const QString& path : gathered) nodes.push_back(tree.AddNext(path));
    for (auto _ : state) {
        std::vector<qsizetype> order = BatchOrder(tree, nodes);
        benchmark::DoNotOptimize(order.data());
    }
    Rows(state, gathered.size());
}

/// One preview pass ("Add x to end") over a list holding the whole tree.
void BM_Preview(benchmark::State& state) {
    FolderList list;
    list.AppendBatch(Gathered(state.range(0)));
    const PreviewHooks hooks = Hooks(kAddToEnd, QStringLiteral("_old"));
    bool busy = false;
    // One pass untimed: the first makes the rows' new paths, which the passes after it find.
    // Timed with the others, it would weigh by how many passes the benchmark chose to run.
    PreviewRename(busy, list, hooks);
    for (auto _ : state) PreviewRename(busy, list, hooks);
    Rows(state, list.Count());
}

/// Preview passes whose answer changes every time ("_old", then "_new", ...), so no row keeps
/// the new path it had: each pass looks every new path up beside its folder.
void BM_PreviewChanging(benchmark::State& state) {
    FolderList list;
    list.AppendBatch(Gathered(state.range(0)));
    const PreviewHooks first = Hooks(kAddToEnd, QStringLiteral("_old"));
    const PreviewHooks second = Hooks(kAddToEnd, QStringLiteral("_new"));
    bool busy = false;
    bool turn = false;
    PreviewRename(busy, list, first);
    PreviewRename(busy, list, second);
    for (auto _ : state) {
        PreviewRename(busy, list, turn ? second : first);
        turn = !turn;
    }
    Rows(state, list.Count());
}

/// Carrying every path of the tree, in the walk's order, through the moves of renaming every
/// folder deepest first, as a batch gathered during a run is carried.
void BM_Carry(benchmark::State& state) {
    const QStringList gathered = Gathered(state.range(0));
    std::vector<PathMove> moves;
    moves.reserve(static_cast<size_t>(gathered.size()));
    for (const QString& path : SortBatch(gathered, kPathSeparator)) {
        moves.push_back(PathMove{path, path.chopped(1) + QStringLiteral("_old/")});
    }
    for (auto _ : state) {
        state.PauseTiming();
        QStringList paths = gathered;
        paths.detach();
        state.ResumeTiming();
        CarryThroughMoves(paths, moves);
        benchmark::DoNotOptimize(paths.data());
    }
    Rows(state, gathered.size());
}

/// The rename pass over a whole tree on disk, every folder but the root renamed, on `threads`
/// threads (RunControl::threads). Passes turn every "[" into "{" and back in turn (the preview
/// untimed); the tree is left as the last pass made it, which the next run of the same size
/// picks up, so nothing is renamed untimed.
void RenamePass(benchmark::State& state, int threads) {
    if (!NeedsTrees(state)) return;
    static std::map<long, bool> turnedByCount;  // whether a tree's names hold "{" for now "["
    bool& turned = turnedByCount[state.range(0)];
    const QString root = TreeRoot(state.range(0));
    QStringList gathered = Gathered(state.range(0));
    if (turned) {
        for (QString& path : gathered) path = root + path.mid(root.size()).replace(u'[', u'{');
    }
    FolderList list;
    list.AppendBatch(gathered);
    const PreviewHooks hooks = Hooks(
        QStringLiteral("Find and replace x (user-specified) character(s) in folder(s)"), QString());
    qsizetype failed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        PreviewHooks pass = hooks;
        pass.ask = [from = turned ? u'{' : u'[', to = turned ? u'[' : u'{'](const QString& prompt) {
            return QString(prompt.startsWith(QStringLiteral("Find")) ? from : to);
        };
        bool busy = false;
        PreviewRename(busy, list, pass);
        state.ResumeTiming();
        RunControl control;
        control.threads = threads;
        const RenameRun run = ApplyRenames(
            list, [&](const RowOutcome&) { ++failed; }, DefaultRenamePlatform(), control);
        benchmark::DoNotOptimize(run.outcomes.data());
        turned = !turned;
    }
    if (failed != 0) state.SkipWithError("some folder could not be renamed");
    Rows(state, list.Count());
}

/// The rename pass on one thread, as the window runs it.
void BM_RenamePass(benchmark::State& state) { RenamePass(state, 1); }

/// The rename pass with the folders of different parents renamed side by side on two threads,
/// as the companion's --apply runs it.
void BM_RenamePassTwoThreads(benchmark::State& state) { RenamePass(state, 2); }

void Sizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Unit(benchmark::kMillisecond)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000);
}

BENCHMARK(BM_Walk)->Apply(Sizes);
BENCHMARK(BM_Sort)->Apply(Sizes);
BENCHMARK(BM_SortTree)->Apply(Sizes);
BENCHMARK(BM_Preview)->Apply(Sizes);
BENCHMARK(BM_PreviewChanging)->Apply(Sizes);
BENCHMARK(BM_Carry)->Apply(Sizes);
BENCHMARK(BM_RenamePass)->Apply(Sizes);
BENCHMARK(BM_RenamePassTwoThreads)->Apply(Sizes);

}  // namespace

BENCHMARK_MAIN();
