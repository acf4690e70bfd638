#include <gtest/gtest.h>

#include <QTemporaryDir>  // completes TempTree's member for the fixtures made here

#include "folders/folder_list.h"
#include "rename/rename_run.h"
#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

using testing::TempTree;

// A run stopped between rows: where it stops, what the rows say, what the disk holds.
struct StopCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> rows;  ///< current, new (relative)
    int rowsTried;                                          ///< cancelled before the next one
    std::vector<RowStatus> statuses;
    std::vector<std::pair<const char*, const char*>> after;  ///< current, new (relative)
    QStringList onDisk;
};

void PrintTo(const StopCase& c, std::ostream* out) { *out << c.name; }

class StoppedRunTest : public TempTree, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StoppedRunTest, RowsNotTriedKeepTheirCarriedPathsAndSaySo) {
    const StopCase& c = GetParam();
    const auto path = [this](const char* relative) { return PathOf(relative) + u'/'; };
    std::vector<FolderRow> rows;
    for (const auto& [current, newPath] : c.rows) {
        MakeFolder(current);
        rows.push_back(FolderRow{path(current), path(newPath)});
    }
    std::vector<qsizetype> told;
    RunControl control;
    control.starting = [&](qsizetype position, qsizetype count, const QString& current) {
        EXPECT_EQ(count, static_cast<qsizetype>(c.rows.size()));
        EXPECT_EQ(current, rows[static_cast<size_t>(position - 1)].current);
        told.push_back(position);
    };
    control.cancelled = [&] { return static_cast<int>(told.size()) == c.rowsTried; };
    const RenameRun run = ApplyRenames(rows, {}, DefaultRenamePlatform(), control);

    ASSERT_EQ(run.outcomes.size(), c.rows.size());
    for (size_t i = 0; i < c.rows.size(); ++i) {
        EXPECT_EQ(run.outcomes[i].fate.status, c.statuses[i]) << i;
        EXPECT_EQ(rows[i].current, path(c.after[i].first)) << i;
        EXPECT_EQ(rows[i].newPath, path(c.after[i].second)) << i;
    }
    EXPECT_EQ(static_cast<int>(told.size()), c.rowsTried);
    EXPECT_EQ(AllFolders(), c.onDisk);
}

using enum RowStatus;

INSTANTIATE_TEST_SUITE_P(
    Runs, StoppedRunTest,
    ::testing::Values(
        StopCase{"StoppedAtOnce", {{"a", "A"}}, 0, {NotTried}, {{"a", "A"}}, {"a"}},
        StopCase{"AfterTheFirstOfThree",
                 {{"a", "A"}, {"b", "B"}, {"c", "C"}},
                 1,
                 {Renamed, NotTried, NotTried},
                 {{"A", "A"}, {"b", "B"}, {"c", "C"}},
                 {"A", "b", "c"}},
        // A row not tried inside a folder already renamed follows it, new path included.
        StopCase{"InsideAFolderRenamedFirst",
                 {{"p", "P"}, {"p/q", "p/Q"}},
                 1,
                 {Renamed, NotTried},
                 {{"P", "P"}, {"P/q", "P/Q"}},
                 {"P", "P/q"}},
        // A row tried that failed has nothing left to do: running the rows again skips it.
        StopCase{"AfterAFailure",
                 {{"x", "y"}, {"y", "z"}, {"w", "W"}},
                 2,
                 {Taken, Renamed, NotTried},
                 {{"x", "x"}, {"z", "z"}, {"w", "W"}},
                 {"w", "x", "z"}}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace trellisane
