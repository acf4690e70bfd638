// "Start Renaming" on its worker: the progress dialog, stopping a run, failure reports while
// the run waits, and nothing else coming between its rows.

#include <QAction>
#include <QDeadlineTimer>
#include <QProgressDialog>
#include <QThread>
#include <atomic>

#include "app/rename_run_job.h"
#include "rename/rename_run.h"
#include "tests/app/window_fixture.h"

namespace trellisane::testing {
namespace {

constexpr int kAddToEnd = 6;

/// Holds the first rename of a run on the worker until the test lets it go.
struct HeldRename {
    std::atomic<bool> entered{false};
    std::atomic<bool> released{false};
    std::atomic<int> renames{0};

    /// The real disk operations, the first rename held.
    RenamePlatform Platform() {
        RenamePlatform platform = DefaultRenamePlatform();
        platform.renameNoReplace = [this](const QString& from, const QString& to) {
            if (renames++ == 0) {
                entered = true;
                while (!released) QThread::msleep(1);
            }
            return RenameNoReplace(from, to);
        };
        return platform;
    }
};

class StartRenamingWindowTest : public WindowTest {
  protected:
    /// Three folders a, b, c listed in that order, previewed as UPPER CASE.
    void ListThree() {
        Open();
        for (const char* name : {"a", "b", "c"}) {
            MakeFolder(name);
            Add(PathOf(name));
        }
        form->SetRenamePlatform(held.Platform());
        dialogs.calls.clear();
    }

    QProgressDialog* Progress() const { return Find<QProgressDialog>("RenamingProgress"); }

    HeldRename held;
};

TEST_F(StartRenamingWindowTest, ALongRunShowsItsProgressAndCancelStopsAfterTheCurrentFolder) {
    ListThree();
    Click("PushButton2");
    ASSERT_TRUE(WaitUntil([&] { return held.entered.load(); }));
    ASSERT_TRUE(WaitUntil([&] { return Progress()->isVisible(); }));
    EXPECT_TRUE(form->RenamingUnderway());
    EXPECT_TRUE(Progress()->labelText().startsWith("Renaming folder 1 of 3\n"));
    EXPECT_TRUE(Progress()->labelText().contains(PathOf("a")));
    EXPECT_EQ(form->Pointer(), kPointerBusy);

    QPushButton* cancel = Progress()->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    QTest::mouseClick(cancel, Qt::LeftButton);
    held.released = true;
    ASSERT_TRUE(WaitUntil([&] { return !form->RenamingUnderway(); }));

    // The folder being renamed got its name; the others were not touched and keep theirs.
    EXPECT_EQ(AllFolders(), QStringList({"A", "b", "c", "program"}));
    EXPECT_EQ(Currents(), QStringList({PathOf("A/"), PathOf("b/"), PathOf("c/")}));
    EXPECT_EQ(NewPaths(), QStringList({PathOf("A/"), PathOf("B/"), PathOf("C/")}));
    EXPECT_EQ(dialogs.Messages(),
              QStringList{"Renaming was stopped: 1 of 3 folders renamed, 2 not tried. "
                          "\"Start Renaming\" renames the folders not tried."});
    EXPECT_TRUE(Button("PushButton2")->isEnabled());
    const auto* dialog = form->findChild<QProgressDialog*>(QStringLiteral("RenamingProgress"));
    EXPECT_TRUE(dialog == nullptr || !dialog->isVisible());
    EXPECT_EQ(form->Pointer(), kPointerDefault);

    // The rest runs as it stands, without a report for the folder already renamed.
    dialogs.calls.clear();
    RunStartRenaming();
    EXPECT_EQ(AllFolders(), QStringList({"A", "B", "C", "program"}));
    EXPECT_EQ(dialogs.Messages(), QStringList{"Done."});
    EXPECT_FALSE(Button("PushButton2")->isEnabled());
}

TEST_F(StartRenamingWindowTest, NothingComesBetweenTheRowsOfARun) {
    ListThree();
    MakeFolder("other");
    dialogs.browseAnswers.push_back(PathOf("other"));
    Click("PushButton2");
    ASSERT_TRUE(WaitUntil([&] { return held.entered.load(); }));
    const QStringList currents = Currents();
    const QStringList newPaths = NewPaths();

    // Programmatic clicks and signals pass a modal dialog by: the window's own guard must hold.
    Q_EMIT Selector()->activated(kAddToEnd);       // a preview pass
    Subfolders()->click();                         // a preview pass
    Button("PushButton3")->click();                // an add
    Button("PushButton4")->click();                // the samples
    Button("PushButton1")->click();                // "Clear List"
    Button("PushButton2")->click();                // a second run
    Find<QAction>("UndoLastRenaming")->trigger();  // the undo
    List()->selectRow(0);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(List(), &del);  // a removal
    QCoreApplication::processEvents();

    EXPECT_TRUE(dialogs.calls.empty());
    EXPECT_EQ(Currents(), currents);
    EXPECT_EQ(NewPaths(), newPaths);
    EXPECT_EQ(form->AddsInFlight(), 0);
    held.released = true;
    ASSERT_TRUE(WaitUntil([&] { return !form->RenamingUnderway(); }));
    EXPECT_EQ(AllFolders(), QStringList({"A", "B", "C", "other", "program"}));
    EXPECT_EQ(dialogs.Messages(), QStringList{"Done."});
    EXPECT_EQ(held.renames.load(), 3);
    EXPECT_FALSE(form->PreviewBusy());
}

TEST_F(StartRenamingWindowTest, AFailureIsReportedOnTheWindowThreadWhileTheRunWaits) {
    ListThree();
    ASSERT_TRUE(QDir(PathOf("a")).removeRecursively());
    held.released = true;
    int renamesWhileReported = -1;
    bool onWindowThread = false;
    bool runUnderway = false;
    dialogs.onCall = [&](const DialogCall& call) {
        if (call.title != kErrorReportTitle) return;
        renamesWhileReported = held.renames.load();
        onWindowThread = QThread::currentThread() == form->thread();
        runUnderway = form->RenamingUnderway();
    };
    RunStartRenaming();

    ASSERT_EQ(dialogs.Messages().size(), 2);
    EXPECT_TRUE(dialogs.Messages()[0].startsWith("No such file or directory: \"" + PathOf("a")));
    EXPECT_EQ(dialogs.Messages()[1], "Done.");
    EXPECT_EQ(renamesWhileReported, 0);  // the next row waited for OK
    EXPECT_TRUE(onWindowThread);
    EXPECT_TRUE(runUnderway);
    EXPECT_EQ(AllFolders(), QStringList({"B", "C", "program"}));
}

TEST_F(StartRenamingWindowTest, AReportHeldOpenPastTheDelayIsNeverCoveredByTheProgressDialog) {
    ListThree();
    ASSERT_TRUE(QDir(PathOf("a")).removeRecursively());
    held.released = true;
    bool coveredWhileOpen = false;
    dialogs.onCall = [&](const DialogCall& call) {
        if (call.title != kErrorReportTitle) return;
        // The person reads the report for longer than the run waits before showing progress.
        QDeadlineTimer reading(static_cast<qint64>(kRenameProgressDelayMs) * 3);
        while (!reading.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            if (Progress() != nullptr && Progress()->isVisible()) coveredWhileOpen = true;
        }
    };
    RunStartRenaming();
    EXPECT_FALSE(coveredWhileOpen);
    EXPECT_EQ(AllFolders(), QStringList({"B", "C", "program"}));  // the run went on after OK
    EXPECT_EQ(dialogs.Messages().back(), "Done.");
}

TEST_F(StartRenamingWindowTest, AFewFailuresAreReportedEachAndTheRestCountedOnce) {
    Open();
    Selector()->setCurrentIndex(kAddToEnd);  // its prompt goes unanswered: no new names
    const int rows = static_cast<int>(kReportsPerRun) + 3;
    for (int i = 0; i < rows; ++i) {
        const QString name = QStringLiteral("f%1").arg(i);
        MakeFolder(name);
        Add(PathOf(name));
    }
    dialogs.calls.clear();
    RunStartRenaming();
    QStringList reports;
    for (const DialogCall& call : dialogs.calls) {
        if (call.title == kErrorReportTitle) reports << call.text;
    }
    EXPECT_EQ(reports.size(), kReportsPerRun);
    ASSERT_GE(dialogs.Messages().size(), 2);
    EXPECT_EQ(dialogs.Messages().back(), "Done.");
    EXPECT_EQ(dialogs.Messages()[dialogs.Messages().size() - 2],
              "3 more folder(s) could not be renamed. Each of their rows is marked with the "
              "reason.");
}

TEST(StoppedRunMessage, CountsEveryRowOnce) {
    RenameRun run;
    for (const RowStatus status : {RowStatus::Renamed, RowStatus::Unchanged, RowStatus::Taken,
                                   RowStatus::NotTried, RowStatus::NotTried}) {
        run.outcomes.push_back(RowOutcome{0, {}, {}, RowFate{status}});
    }
    EXPECT_EQ(StoppedRunMessage(run),
              "Renaming was stopped: 1 of 5 folders renamed, 1 left as they are (their names do "
              "not change), 1 could not be renamed, 2 not tried. \"Start Renaming\" renames the "
              "folders not tried.");
}

TEST_F(StartRenamingWindowTest, ClosingDuringARunLeavesRowsThatTellWhereEveryFolderIs) {
    ListThree();
    // The window's close stops the run; the held folder is let go while the close waits.
    struct CloseWatch : QObject {
        HeldRename* held;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Close) held->released = true;
            return false;
        }
    } watch;
    watch.held = &held;
    form->installEventFilter(&watch);
    Click("PushButton2");
    ASSERT_TRUE(WaitUntil([&] { return held.entered.load(); }));
    form->close();
    form->removeEventFilter(&watch);

    EXPECT_FALSE(form->RenamingUnderway());
    EXPECT_TRUE(QDir(PathOf("A")).exists());
    const std::vector<FolderRow> rows = form->List().Rows();
    ASSERT_EQ(rows.size(), 3u);
    for (const FolderRow& row : rows) {
        EXPECT_TRUE(QDir(row.current).exists()) << row.current.toStdString();
        // A folder the run did not reach keeps its new path, so nothing is lost.
        if (!row.current.endsWith(QStringLiteral("A/")) &&
            !row.current.endsWith(QStringLiteral("B/")) &&
            !row.current.endsWith(QStringLiteral("C/"))) {
            EXPECT_EQ(row.newPath, row.current.chopped(2) + row.current.right(2).toUpper());
        }
    }
}

}  // namespace
}  // namespace trellisane::testing
