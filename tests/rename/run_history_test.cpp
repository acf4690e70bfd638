#include "rename/run_history.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>  // completes TempTree's member for the fixtures made here
#include <vector>

#include "folders/folder_list.h"
#include "rename/journal.h"
#include "rename/rename_run.h"
#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

using testing::TempTree;

class History : public TempTree {
  protected:
    RunHistory history() const { return RunHistory(PathOf(QStringLiteral("state/history"))); }

    /// A run of the history at `startedMs` renaming each folder (below the root) to its pair,
    /// in that order. `finish` false leaves it as a kill would: no end record, lock released.
    QString Run(qint64 startedMs, const std::vector<std::pair<QString, QString>>& renames,
                bool finish = true) {
        FolderList list;
        QStringList currents;
        for (const auto& [from, to] : renames) currents << PathOf(from) + u'/';
        list.AppendInOrder(currents);
        for (qsizetype position = 1; position <= list.Count(); ++position) {
            list.SetNewPath(position,
                            PathOf(renames[static_cast<size_t>(position - 1)].second) + u'/');
        }
        QString id;
        int error = 0;
        auto writer = history().Begin(
            JournalAbout{startedMs, QStringLiteral("window"), QStringLiteral("op"), {}}, id, error);
        EXPECT_TRUE(writer) << error;
        if (!writer) return id;
        ApplyRenames(list, {}, writer->Attach(DefaultRenamePlatform()));
        if (finish) {
            EXPECT_EQ(writer->Finish(), 0);
        }
        return id;
    }

    std::vector<RunState> States() const {
        std::vector<RunState> states;
        for (const HistoryRun& run : history().List()) states.push_back(run.state);
        return states;
    }
};

TEST_F(History, IsPrivateToItsOwnerAndTellsEveryStateNewestFirst) {
    MakeFolder(QStringLiteral("a"));
    MakeFolder(QStringLiteral("x"));
    MakeFolder(QStringLiteral("k"));
    Run(1000, {{QStringLiteral("a"), QStringLiteral("b")}});
    Run(2000, {{QStringLiteral("x"), QStringLiteral("y")}});
    Run(3000, {{QStringLiteral("k"), QStringLiteral("l")}}, false);  // killed

    struct stat folder {};
    ASSERT_EQ(::stat(QFile::encodeName(history().Folder()).constData(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
    for (const HistoryRun& run : history().List()) {
        struct stat file {};
        ASSERT_EQ(::stat(QFile::encodeName(run.path).constData(), &file), 0);
        EXPECT_EQ(file.st_mode & 0777, 0600u);
        EXPECT_EQ(run.renamed + run.uncertain, 1);
    }

    // A run still writing holds its journal: listed as running, not cut short.
    QString id;
    int error = 0;
    auto writing = history().Begin(JournalAbout{4000, {}, {}, {}}, id, error);
    ASSERT_TRUE(writing);
    EXPECT_EQ(States(), (std::vector<RunState>{RunState::Running, RunState::CutShort,
                                               RunState::Done, RunState::Done}));
    EXPECT_EQ(writing->Finish(), 0);
    EXPECT_EQ(States().front(), RunState::Done);
}

TEST_F(History, UndoesNewestFirstAndNeverAnOlderRunUnderANewerOneOverTheSameFolders) {
    MakeFolder(QStringLiteral("a/in"));
    MakeFolder(QStringLiteral("x"));
    MakeFile(QStringLiteral("a/in/marker"));
    const QString first = Run(1000, {{QStringLiteral("a"), QStringLiteral("b")}});
    const QString inside = Run(2000, {{QStringLiteral("b/in"), QStringLiteral("b/out")}});
    const QString apart = Run(3000, {{QStringLiteral("x"), QStringLiteral("y")}});

    // Step by step: what Ctrl+Z takes next, and whether the first run may go before it.
    struct Step {
        QString next;
        std::optional<QString> firstBlockedBy;
        std::vector<RunState> after;  ///< newest first, once `next` is undone
    };
    const std::vector<Step> steps{
        {apart, inside, {RunState::Undone, RunState::Done, RunState::Done}},
        {inside, inside, {RunState::Undone, RunState::Undone, RunState::Done}},
        {first, std::nullopt, {RunState::Undone, RunState::Undone, RunState::Undone}},
    };
    for (const Step& step : steps) {
        const std::vector<HistoryRun> runs = history().List();
        ASSERT_NE(RunHistory::NextToUndo(runs), nullptr);
        EXPECT_EQ(RunHistory::NextToUndo(runs)->id, step.next);
        EXPECT_EQ(history().BlockedBy(runs, first), step.firstBlockedBy);
        if (step.firstBlockedBy) {
            const UndoOfRun refused = history().Undo(first, true);
            EXPECT_EQ(refused.refusal, UndoRefusal::Blocked);
            EXPECT_EQ(refused.blockedBy, *step.firstBlockedBy);
        }
        const UndoOfRun undo = history().Undo(step.next, true);
        EXPECT_EQ(undo.refusal, UndoRefusal::None);
        EXPECT_EQ(undo.record.putBack, 1u);
        EXPECT_EQ(States(), step.after);
    }
    EXPECT_EQ(RunHistory::NextToUndo(history().List()), nullptr);
    EXPECT_EQ(AllFolders(), (QStringList{"a", "a/in", "state", "state/history", "x"}));
    EXPECT_EQ(AllFiles().filter(QStringLiteral("marker")), QStringList{"a/in/marker"});
}

TEST_F(History, ARunCutShortWithATornRecordIsUndoneAndStaysReadable) {
    for (int i = 0; i < 5; ++i) MakeFolder(QStringLiteral("f%1").arg(i));
    const QString id =
        Run(1000, {{"f0", "g0"}, {"f1", "g1"}, {"f2", "g2"}, {"f3", "g3"}, {"f4", "g4"}}, false);
    const QString path = history().List().front().path;
    {
        QFile journal(path);
        ASSERT_TRUE(journal.open(QIODevice::Append));
        journal.write(AboutToRecord(99, std::nullopt, "/x", "/y").left(12));  // a torn write
    }
    EXPECT_EQ(States(), std::vector<RunState>{RunState::CutShort});
    EXPECT_FALSE(history().List().front().offered);
    EXPECT_TRUE(history().MarkOffered(id));  // cuts the torn record off before it appends
    EXPECT_TRUE(history().List().front().offered);

    // The dry run marks what the undo would do, as the preview marks rows.
    const std::vector<UndoPlanRow> plan = UndoPlan(history().Undo(id, false));
    ASSERT_EQ(plan.size(), 5u);
    for (const UndoPlanRow& row : plan) EXPECT_EQ(row.fate.status, RowStatus::Renamed);

    const UndoOfRun undo = history().Undo(id, true);
    EXPECT_EQ(undo.refusal, UndoRefusal::None);
    EXPECT_EQ(undo.record.putBack, 5u);
    EXPECT_EQ(States(), std::vector<RunState>{RunState::Undone});
    EXPECT_EQ(AllFolders().filter(QStringLiteral("f")).size(), 5);
    // A second undo finds every folder back, and says so without a word of failure.
    EXPECT_EQ(history().Undo(id, true).record.notPutBack, 0u);
}

TEST_F(History, ACancelledUndoLeavesTheRunPartlyUndoneAndStillFirstInLine) {
    for (int i = 0; i < 3; ++i) MakeFolder(QStringLiteral("f%1").arg(i));
    const QString id = Run(1000, {{"f0", "g0"}, {"f1", "g1"}, {"f2", "g2"}});
    std::atomic<bool> cancel{false};
    RenamePlatform platform = DefaultRenamePlatform();
    const auto rename = platform.renameNoReplace;
    platform.renameNoReplace = [&](const QString& from, const QString& to) {
        cancel = true;  // Cancel pressed during the first rename back
        return rename(from, to);
    };
    const UndoOfRun undo = history().Undo(id, true, platform, false, UndoControl{&cancel, {}});
    EXPECT_EQ(undo.record.putBack, 1u);
    EXPECT_FALSE(undo.record.complete);
    const std::vector<HistoryRun> runs = history().List();
    EXPECT_EQ(runs.front().state, RunState::PartlyUndone);
    ASSERT_NE(RunHistory::NextToUndo(runs), nullptr);
    EXPECT_EQ(history().Undo(id, true).record.putBack, 2u);
    EXPECT_EQ(States(), std::vector<RunState>{RunState::Undone});
}

TEST_F(History, BoundsDropTheOldestRunsButNeverOneCutShortAndNotUndone) {
    for (int i = 0; i < 6; ++i) MakeFolder(QStringLiteral("f%1").arg(i));
    // Oldest first: cut short, done, done, cut short but undone, done, done.
    std::vector<QString> ids;
    ids.reserve(6);
    for (qint64 i = 0; i < 6; ++i) {
        ids.push_back(Run(1000 * (i + 1),
                          {{QStringLiteral("f%1").arg(i), QStringLiteral("g%1").arg(i)}},
                          i != 0 && i != 3));
    }
    history().Undo(ids[3], true);

    EXPECT_EQ(history().Prune(3), (QStringList{ids[1], ids[2], ids[3]}));
    std::vector<QString> kept;
    for (const HistoryRun& run : history().List()) kept.push_back(run.id);
    EXPECT_EQ(kept, (std::vector<QString>{ids[5], ids[4], ids[0]}));
    // Bytes as well: nothing may stay but what is never dropped.
    EXPECT_EQ(history().Prune(100, 1), (QStringList{ids[4], ids[5]}));
    EXPECT_EQ(States(), std::vector<RunState>{RunState::CutShort});
}

TEST(RunCsv, QuotesAsRfc4180AndTellsEachOutcome) {
    JournalContents contents;
    const auto entry = [](const char* from, const char* to, JournalEntry::Done done,
                          const char* at) {
        JournalEntry e;
        e.from = from;
        e.to = to;
        e.done = done;
        e.at = at;
        return e;
    };
    contents.entries = {
        entry("/d/plain", "/d/new", JournalEntry::Done::Moved, "/d/new"),
        entry("/d/a,b", "/d/\"q\"", JournalEntry::Done::NotMoved, ""),
        entry("/d/line\nbreak", "/d/x", JournalEntry::Done::Unknown, ""),
        entry("/d/Ä", "/d/ä", JournalEntry::Done::Moved, "/d/.tmp"),
    };
    EXPECT_EQ(RunCsv(contents, 0),
              "time,old path,new path,outcome\r\n"
              "1970-01-01T00:00:00.000Z,/d/plain,/d/new,renamed\r\n"
              "1970-01-01T00:00:00.000Z,\"/d/a,b\",\"/d/\"\"q\"\"\",not renamed\r\n"
              "1970-01-01T00:00:00.000Z,\"/d/line\nbreak\",/d/x,unknown (cut short)\r\n"
              "1970-01-01T00:00:00.000Z,/d/Ä,/d/.tmp,left at a temporary name\r\n");
}

}  // namespace
}  // namespace trellisane
