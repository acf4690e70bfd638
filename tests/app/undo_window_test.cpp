// "Undo Last Renaming" in the window: Ctrl+Z, the list's context menu entry, and the report of
// folders that could not be put back.

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>

#include "tests/app/window_fixture.h"

namespace trellisane::testing {
namespace {

constexpr int kUpperCase = 0;
constexpr int kRemoveNumeric = 14;

class UndoWindowTest : public WindowTest {
  protected:
    /// Lists the tree "t" (with its sub-folders, each holding a marker) and previews it with
    /// Remove numeric; the rows and new paths of then are kept.
    void ListTree() {
        for (const char* folder : {"t/a1", "t/a1/b2", "t/c3"}) {
            MakeFolder(QString::fromLatin1(folder));
            MakeFile(QString::fromLatin1(folder) + QStringLiteral("/marker"), folder);
        }
        Open();
        Subfolders()->setChecked(true);
        Add(PathOf(QStringLiteral("t")));
        Pick(kRemoveNumeric);
        listedCurrents = Currents();
        listedNewPaths = NewPaths();
        folders = AllFolders();
        files = AllFiles();
    }

    QAction* Undo() const { return Find<QAction>("UndoLastRenaming"); }

    void CtrlZ() {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(List(), Qt::Key_Z, Qt::ControlModifier);
        WaitForUndo();
    }

    QStringList listedCurrents;
    QStringList listedNewPaths;
    QStringList folders;
    QStringList files;
};

TEST_F(UndoWindowTest, CtrlZPutsEveryFolderAndRowBackAndEnablesStartRenaming) {
    ListTree();
    RunStartRenaming();
    ASSERT_TRUE(QDir(PathOf(QStringLiteral("t/a/b"))).exists());
    Pick(kUpperCase);  // a later preview pass keeps the undo
    const size_t calls = dialogs.calls.size();

    CtrlZ();
    EXPECT_EQ(AllFolders(), folders);
    EXPECT_EQ(AllFiles(), files);
    EXPECT_EQ(Currents(), listedCurrents);
    EXPECT_EQ(NewPaths(), listedNewPaths);  // as shown before the run, not since
    EXPECT_TRUE(Button("PushButton2")->isEnabled());
    // One message tells how many went back.
    ASSERT_EQ(dialogs.calls.size(), calls + 1);
    EXPECT_TRUE(dialogs.calls.back().text.endsWith(
        QStringLiteral(" folders were put back where they were before the run.")))
        << dialogs.calls.back().text.toStdString();
    EXPECT_EQ(dialogs.calls.back().icon, DialogIcon::Information);

    // The only run kept is undone: a second Ctrl+Z does nothing, and the same run can be made
    // again at once.
    EXPECT_FALSE(Undo()->isEnabled());
    CtrlZ();
    EXPECT_EQ(Currents(), listedCurrents);
    EXPECT_EQ(dialogs.calls.size(), calls + 1);
    RunStartRenaming();
    EXPECT_TRUE(QDir(PathOf(QStringLiteral("t/a/b"))).exists());
    EXPECT_TRUE(Undo()->isEnabled());
}

TEST_F(UndoWindowTest, AfterARestartCtrlZPutsTheFoldersBackOnDiskAndSaysHowMany) {
    ListTree();
    RunStartRenaming();
    form.reset();  // the program ends; its run stays in the history
    Open();
    EXPECT_TRUE(Undo()->isEnabled());
    const size_t calls = dialogs.calls.size();
    CtrlZ();
    EXPECT_EQ(AllFolders(), folders);
    EXPECT_EQ(AllFiles(), files);
    ASSERT_EQ(dialogs.calls.size(), calls + 1);
    EXPECT_EQ(dialogs.calls.back().text,
              QStringLiteral("3 folders were put back where they were before the run."));
    EXPECT_FALSE(Undo()->isEnabled());
}

TEST_F(UndoWindowTest, TheListsContextMenuHoldsTheEntry) {
    ListTree();
    auto* menu = Find<QMenu>("ListView1Menu");
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->actions().contains(Undo()));
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5),
                            List()->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(List()->viewport(), &click);
    EXPECT_TRUE(WaitUntil([&] { return menu->isVisible(); }));
    menu->close();
}

class UndoEntryState;

/// One thing done after a run, and whether Undo Last Renaming is offered then.
struct EntryStep {
    const char* name;
    std::function<void(UndoEntryState&)> act;
    bool enabled;
};

void PrintTo(const EntryStep& step, std::ostream* out) { *out << step.name; }

class UndoEntryState : public UndoWindowTest, public ::testing::WithParamInterface<EntryStep> {
  public:
    using WindowTest::Add;
    using WindowTest::Click;
    using WindowTest::List;
    using WindowTest::MakeFolder;
    using WindowTest::PathOf;
    using WindowTest::Pick;
    using WindowTest::RunStartRenaming;
    void TriggerUndo() {
        Undo()->trigger();
        WaitForUndo();
    }
};

TEST_P(UndoEntryState, IsEnabledOnlyWhileAKeptRunCanBeUndone) {
    ListTree();
    EXPECT_FALSE(Undo()->isEnabled());  // no run yet
    RunStartRenaming();
    GetParam().act(*this);
    EXPECT_EQ(Undo()->isEnabled(), GetParam().enabled);
    if (!Undo()->isEnabled()) {
        // Disabled, the entry and Ctrl+Z leave the disk alone.
        const QStringList before = AllFolders();
        CtrlZ();
        EXPECT_EQ(AllFolders(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, UndoEntryState,
    ::testing::Values(
        EntryStep{"AfterTheRun", [](UndoEntryState&) {}, true},
        EntryStep{"AfterAPreviewPass", [](UndoEntryState& fixture) { fixture.Pick(kUpperCase); },
                  true},
        EntryStep{"AfterARemoval",
                  [](UndoEntryState& fixture) {
                      fixture.List()->selectRow(0);
                      QTest::keyClick(fixture.List(), Qt::Key_Delete);
                  },
                  true},  // the run stays in the history, with or without its rows
        EntryStep{"AfterClearList", [](UndoEntryState& fixture) { fixture.Click("PushButton1"); },
                  true},
        EntryStep{"AfterAnAdd",
                  [](UndoEntryState& fixture) {
                      fixture.MakeFolder(QStringLiteral("other"));
                      fixture.Add(fixture.PathOf(QStringLiteral("other")));
                  },
                  true},
        EntryStep{"AfterTheUndo", [](UndoEntryState& fixture) { fixture.TriggerUndo(); }, false},
        EntryStep{"AfterARunThatMovedNothing",
                  [](UndoEntryState& fixture) {
                      fixture.Pick(kRemoveNumeric);  // the names hold no digit any more
                      fixture.RunStartRenaming();
                  },
                  true}),  // the run before it is next
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(UndoWindowTest, FoldersThatCannotGoBackAreReportedInOneMessageAndTheirRowsTellWhere) {
    ListTree();
    RunStartRenaming();
    // Someone else moves one renamed folder away and takes the old name of another.
    ASSERT_TRUE(QDir().rename(PathOf(QStringLiteral("t/a/b")), PathOf(QStringLiteral("moved"))));
    MakeFolder(QStringLiteral("t/c3"));
    const size_t calls = dialogs.calls.size();

    Undo()->trigger();
    WaitForUndo();

    ASSERT_EQ(dialogs.calls.size(), calls + 1);
    const DialogCall& report = dialogs.calls.back();
    EXPECT_EQ(report.text, QStringLiteral("1 folder was put back where it was before the "
                                          "run.\n\n2 folders could not be put back\n\n") +
                               PathOf(QStringLiteral("t/c/")) + u'\n' +
                               PathOf(QStringLiteral("t/a1/b/")));  // where it would be by now
    EXPECT_EQ(report.title, form->ApplicationTitle());
    EXPECT_EQ(report.icon, DialogIcon::Exclamation);
    EXPECT_EQ(report.buttons, DialogButtons::Ok);

    // Every other folder went back; the row of "c" shows where it stays, without a new path.
    EXPECT_TRUE(QDir(PathOf(QStringLiteral("t/a1"))).exists());
    EXPECT_TRUE(QDir(PathOf(QStringLiteral("moved"))).exists());
    EXPECT_TRUE(QDir(PathOf(QStringLiteral("t/c"))).exists());
    const QStringList rows = Currents();
    EXPECT_TRUE(rows.contains(PathOf(QStringLiteral("t/c/"))));
    EXPECT_TRUE(rows.contains(PathOf(QStringLiteral("t/a1/"))));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows[i] == listedCurrents[i]) {
            EXPECT_EQ(NewPaths()[i], listedNewPaths[i]);
        } else {
            EXPECT_EQ(NewPaths()[i], QString());
        }
    }
    EXPECT_TRUE(Button("PushButton2")->isEnabled());
}

}  // namespace
}  // namespace trellisane::testing
