// The window's history: a run cut short is offered once across starts, and its undo runs in the
// background to the end.

#include "control/history_keeper.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTemporaryDir>  // completes TempTree's member
#include <QThread>

#include "folders/folder_list.h"
#include "rename/rename_run.h"
#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

class HistoryKeeperTest : public testing::TempTree {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "history_keeper_test";
        static char* argv[] = {name, nullptr};
        if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
    }
    RunHistory History() const { return RunHistory(PathOf(QStringLiteral("history"))); }
    /// Runs `list` journaled by `window`, as Start Renaming does, without its end.
    static void RecordedRun(HistoryKeeper& window, FolderList& list) {
        int error = 0;
        const std::optional<RenamePlatform> platform =
            window.Record(DefaultRenamePlatform(), JournalAbout{1000, {}, {}, {}}, error);
        ASSERT_TRUE(platform) << error;
        ApplyRenames(list, {}, *platform);
    }
};

TEST_F(HistoryKeeperTest, ARunCutShortIsOfferedOnceAndUndoneInTheBackground) {
    FolderList list;
    QStringList folders;
    for (int i = 0; i < 20; ++i) folders << MakeFolder(QStringLiteral("f%1").arg(i));
    list.AppendInOrder(folders);
    for (qsizetype position = 1; position <= list.Count(); ++position) {
        list.SetNewPath(position,
                        list.Rows()[static_cast<size_t>(position - 1)].current.chopped(1) +
                            QStringLiteral("_1/"));
    }
    {
        // The window that made the run is killed: its journal never gets its end.
        HistoryKeeper window(History());
        RecordedRun(window, list);
    }
    const QStringList renamed = AllFolders();

    HistoryKeeper restarted(History());
    const std::optional<HistoryRun> offer = restarted.TakeCutShortOffer();
    ASSERT_TRUE(offer);
    EXPECT_FALSE(restarted.TakeCutShortOffer());
    EXPECT_FALSE(HistoryKeeper(History()).TakeCutShortOffer());  // nor at the next start
    ASSERT_NE(restarted.Next(), nullptr);
    EXPECT_EQ(restarted.Next()->id, offer->id);

    std::shared_ptr<const UndoOfRun> undone;
    QObject::connect(&restarted, &HistoryKeeper::undoFinished,
                     [&](const QString&, std::shared_ptr<const UndoOfRun> undo) { undone = undo; });
    ASSERT_TRUE(restarted.StartUndo(offer->id, DefaultRenamePlatform()));
    EXPECT_FALSE(restarted.StartUndo(offer->id, DefaultRenamePlatform()));  // one at a time
    const QDeadlineTimer deadline(30000);
    while (!undone && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    ASSERT_TRUE(undone);
    EXPECT_EQ(undone->record.putBack, 20u);
    EXPECT_NE(renamed, AllFolders());
    EXPECT_EQ(AllFolders().filter(QStringLiteral("_1")), QStringList());
    EXPECT_EQ(restarted.Next(), nullptr);
    EXPECT_EQ(HistoryUndoMessage(*undone).left(2), QStringLiteral("20"));
}

TEST_F(HistoryKeeperTest, ARunsEndIsReadOnAWorkerAndFinishReadingWaitsForIt) {
    FolderList list;
    list.AppendInOrder({MakeFolder(QStringLiteral("a"))});
    list.SetNewPath(1, list.Current(1).chopped(1) + QStringLiteral("_1/"));
    HistoryKeeper window(History());
    RecordedRun(window, list);
    EXPECT_EQ(window.EndRun(false), 0);
    // Undo Last Renaming asks at once: it must get this run, not the history of before it.
    EXPECT_TRUE(window.Reading());
    window.FinishReading();
    EXPECT_FALSE(window.Reading());
    ASSERT_NE(window.Next(), nullptr);
    EXPECT_EQ(window.Next()->id, window.LastRecorded());
    EXPECT_EQ(window.Next()->state, RunState::Done);
}

}  // namespace
}  // namespace trellisane
