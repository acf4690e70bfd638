// The window's two long handlers on the offscreen platform, with Google Benchmark, each with the
// longest time the event loop was kept from running (a 1 ms timer notes every gap):
//   - "Add Folder/s" with sub-folders, from the click to the previewed rows, over the tree of
//     100,000 folders that scripts/bench.sh made in TRELLISANE_BENCH_TREES;
//   - "Start Renaming" over 100,000 rows ("Add x to end"), from the click to the end of the
//     run, on a tree of its own made beside those.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/form1.h"
#include "bench/tree_shape.h"
#include "shell/dialogs.h"

using namespace trellisane;

namespace {

/// Answers the browse dialog with one folder, every prompt with "_old" and every message with OK.
class BenchDialogs : public Dialogs {
  public:
    explicit BenchDialogs(QString folder) : m_folder(std::move(folder)) {}
    DialogAnswer ShowMessage(const QString& text, const QString&, DialogIcon,
                             DialogButtons) override {
        std::fprintf(stderr, "bench_add: message: %s\n", qPrintable(text));
        return DialogAnswer::Ok;
    }
    QString Prompt(const QString&, const QString&) override { return QStringLiteral("_old"); }
    QString BrowseFolder(const QString&, const QString&) override { return m_folder; }
    bool OpenUrl(const QUrl&) override { return false; }

  private:
    QString m_folder;
};

/// Runs the event loop until `done` holds, noting the longest gap between two ticks of a 1 ms
/// timer (the longest time a handler kept the loop from running), in milliseconds.
template <typename Done>
qint64 LongestStall(Done&& done) {
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
        if (done()) QCoreApplication::quit();
    });
    clock.start();
    tick.start();
    QCoreApplication::exec();
    return longest;
}

void BM_WindowAdd(benchmark::State& state) {
    const char* trees = std::getenv("TRELLISANE_BENCH_TREES");
    if (trees == nullptr) {
        state.SkipWithError("TRELLISANE_BENCH_TREES names no folder of trees");
        return;
    }
    const long count = state.range(0);
    BenchDialogs dialogs(QFile::decodeName(trees) + u'/' + QString::number(count));
    qint64 longest = 0;
    qsizetype rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Form1 form(dialogs, QDir::tempPath(), [] { return 1; });
        form.show();
        form.findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(true);
        state.ResumeTiming();
        // Clicked from the event loop, so the timer measures the click's own handler too.
        QTimer::singleShot(0, [&] { form.findChild<QPushButton*>("PushButton3")->click(); });
        longest = std::max(longest, LongestStall([&] { return form.AddsInFlight() == 0; }));
        state.PauseTiming();
        rows = form.List().Count();
        form.close();
        state.ResumeTiming();
    }
    if (rows != count + 1) state.SkipWithError("the add did not list every folder");
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["longest_stall_ms"] = static_cast<double>(longest);
}

void BM_WindowStartRenaming(benchmark::State& state) {
    const char* trees = std::getenv("TRELLISANE_BENCH_TREES");
    if (trees == nullptr) {
        state.SkipWithError("TRELLISANE_BENCH_TREES names no folder of trees");
        return;
    }
    const long count = state.range(0);
    qint64 longest = 0;
    qsizetype rows = 0;
    int made = 0;
    bool renamed = false;
    for (auto _ : state) {
        state.PauseTiming();
        std::string root(trees);
        root += "/start-renaming-";
        root += std::to_string(++made);
        std::filesystem::create_directory(root);
        for (const std::string& path : bench::TreePaths(count)) {
            std::filesystem::create_directory(std::filesystem::path(root) / path);
        }
        BenchDialogs dialogs(QFile::decodeName(root.c_str()));
        Form1 form(dialogs, QDir::tempPath(), [] { return 1; });
        form.show();
        form.findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(true);
        QTimer::singleShot(0, [&] { form.findChild<QPushButton*>("PushButton3")->click(); });
        LongestStall([&] { return form.AddsInFlight() == 0; });
        // Picked as the person picks it, so the pick runs its preview pass.
        QComboBox* selector = form.findChild<QComboBox*>(QStringLiteral("Combo1"));
        const int entry = selector->findText(QStringLiteral("Add x to end of each in folder(s)"));
        selector->setCurrentIndex(entry);
        Q_EMIT selector->activated(entry);
        QPushButton* start = form.findChild<QPushButton*>(QStringLiteral("PushButton2"));
        state.ResumeTiming();
        QTimer::singleShot(0, [&] { start->click(); });
        // The run is over once the button has been disabled ("Done." answered).
        longest = std::max(longest, LongestStall([&] { return !start->isEnabled(); }));
        state.PauseTiming();
        rows = form.List().Count();
        renamed = form.List().Row(1).current.contains(QStringLiteral("_old"));
        form.close();
        state.ResumeTiming();
    }
    if (!renamed) state.SkipWithError("the run renamed nothing");
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["longest_stall_ms"] = static_cast<double>(longest);
}

BENCHMARK(BM_WindowAdd)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowStartRenaming)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
