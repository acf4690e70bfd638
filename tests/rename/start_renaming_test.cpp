#include "rename/start_renaming.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>  // completes TempTree's member for the fixtures made here

#include "folders/folder_list.h"
#include "shell/product.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

using testing::DialogCall;
using testing::ScriptedDialogs;
using testing::TempTree;

const QString kTitle = QStringLiteral("Trellisane Title");

class StartRenamingTest : public TempTree {
  protected:
    RenameRun Run() {
        return StartRenaming(m_list, m_dialogs, kTitle, [this] { ++m_disabled; });
    }

    void ExpectPlainBox(const DialogCall& call, const QString& text) const {
        EXPECT_EQ(call.kind, DialogCall::Kind::Message);
        EXPECT_EQ(call.text, text);
        EXPECT_EQ(call.title, kTitle);
        EXPECT_EQ(call.icon, DialogIcon::None);
        EXPECT_EQ(call.buttons, DialogButtons::Ok);
    }

    FolderList m_list;
    ScriptedDialogs m_dialogs;
    int m_disabled = 0;
};

TEST_F(StartRenamingTest, EmptyListSaysSoAndChangesNothingElse) {
    const RenameRun run = Run();

    ASSERT_EQ(m_dialogs.calls.size(), 1u);
    ExpectPlainBox(m_dialogs.calls[0], QStringLiteral("No folders added."));
    EXPECT_EQ(m_disabled, 0);  // the button stays as it was
    EXPECT_TRUE(run.outcomes.empty());
}

TEST_F(StartRenamingTest, ReportsEachFailedRowThenDoneThenDisables) {
    MakeFolder(QStringLiteral("a1"));
    MakeFolder(QStringLiteral("a2"));
    MakeFolder(QStringLiteral("b"));
    m_list.AppendInOrder({PathOf(QStringLiteral("a1/")), PathOf(QStringLiteral("a2/")),
                          PathOf(QStringLiteral("gone/")), PathOf(QStringLiteral("b/"))});
    m_list.SetNewPath(1, PathOf(QStringLiteral("a/")));
    m_list.SetNewPath(2, PathOf(QStringLiteral("a/")));
    m_list.SetNewPath(3, PathOf(QStringLiteral("gone2/")));
    m_list.SetNewPath(4, PathOf(QStringLiteral("c/")));
    // The button must still be enabled while the reports are open.
    m_dialogs.onCall = [this](const DialogCall&) { EXPECT_EQ(m_disabled, 0); };

    const RenameRun run = Run();

    const QString tail = QStringLiteral(
                             "in Dorvalin2021/08/31.Form1.PushButton2_Click at line 106\r\r"
                             "Please email screenshot of this message to ") +
                         QString::fromUtf8(kSupportEmail);
    ASSERT_EQ(m_dialogs.calls.size(), 3u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(m_dialogs.calls[i].title, QStringLiteral("Application Error"));
        EXPECT_EQ(m_dialogs.calls[i].icon, DialogIcon::Exclamation);
        EXPECT_EQ(m_dialogs.calls[i].buttons, DialogButtons::Ok);
    }
    // The platform's description first, then which folder and which name.
    EXPECT_EQ(m_dialogs.calls[0].text,
              QStringLiteral("File exists: \"%1\" cannot be renamed to \"a\" (a folder of that "
                             "name is already there, given it by row 1).\r\n")
                      .arg(PathOf(QStringLiteral("a2"))) +
                  tail);
    EXPECT_EQ(m_dialogs.calls[1].text,
              QStringLiteral("No such file or directory: \"%1\" cannot be renamed to \"gone2\" "
                             "(no folder is there any more).\r\n")
                      .arg(PathOf(QStringLiteral("gone"))) +
                  tail);
    ExpectPlainBox(m_dialogs.calls[2], QStringLiteral("Done."));
    EXPECT_EQ(m_disabled, 1);

    // The rows after a failure are still renamed, and the list shows where each folder is.
    EXPECT_TRUE(QFileInfo(PathOf(QStringLiteral("c"))).isDir());
    EXPECT_EQ(m_list.Row(2).current, PathOf(QStringLiteral("a2/")));
    EXPECT_EQ(m_list.Row(4).current, PathOf(QStringLiteral("c/")));
    ASSERT_EQ(run.outcomes.size(), 4u);
    EXPECT_FALSE(run.outcomes[2].ok());
}

TEST_F(StartRenamingTest, AllSucceedingShowsOnlyDone) {
    MakeFolder(QStringLiteral("a"));
    m_list.AppendInOrder({PathOf(QStringLiteral("a/")), PathOf(QStringLiteral("a/"))});
    m_list.SetNewPath(1, PathOf(QStringLiteral("b/")));
    m_list.SetNewPath(2, PathOf(QStringLiteral("b/")));  // the same folder, listed twice

    Run();

    ASSERT_EQ(m_dialogs.calls.size(), 1u);
    ExpectPlainBox(m_dialogs.calls[0], QStringLiteral("Done."));
    EXPECT_EQ(m_disabled, 1);
}

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
