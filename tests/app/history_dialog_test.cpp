// "History…": the runs listed newest first, undo in order, the dry run's marks, CSV export and
// forgetting a run, with the dialogs scripted.

#include "app/history_dialog.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>  // completes TempTree's member
#include <QTreeWidget>

#include "folders/folder_list.h"
#include "rename/rename_run.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_tree.h"

namespace trellisane::testing {
namespace {

class HistoryDialogTest : public TempTree {
  protected:
    RunHistory History() const { return RunHistory(PathOf(QStringLiteral("history"))); }

    QString Run(qint64 startedMs, const QString& from, const QString& to) {
        FolderList list;
        list.AppendInOrder({PathOf(from) + u'/'});
        list.SetNewPath(1, PathOf(to) + u'/');
        QString id;
        int error = 0;
        auto writer =
            History().Begin(JournalAbout{startedMs,
                                         QStringLiteral("window"),
                                         QStringLiteral("Add x to end of each in folder(s)"),
                                         {{QStringLiteral("x"), QStringLiteral("_old")}}},
                            id, error);
        EXPECT_TRUE(writer) << error;
        ApplyRenames(list, {}, writer->Attach(DefaultRenamePlatform()));
        EXPECT_EQ(writer->Finish(), 0);
        return id;
    }

    QTreeWidget* Tree(HistoryDialog& dialog, const char* name) {
        return dialog.findChild<QTreeWidget*>(QString::fromLatin1(name));
    }

    ScriptedDialogs dialogs;
};

TEST_F(HistoryDialogTest, UndoesOnlyInOrderAndShowsWhatAnUndoWouldDo) {
    MakeFolder(QStringLiteral("a/in"));
    MakeFolder(QStringLiteral("x"));
    const QString first = Run(1000, QStringLiteral("a"), QStringLiteral("b"));
    const QString inside = Run(2000, QStringLiteral("b/in"), QStringLiteral("b/out"));
    const QString apart = Run(3000, QStringLiteral("x"), QStringLiteral("y"));
    MakeFolder(QStringLiteral("x"));  // takes the old name of the newest run's folder

    HistoryDialog dialog(nullptr, History(), dialogs, QStringLiteral("Trellisane"));
    QTreeWidget* runs = Tree(dialog, "HistoryRuns");
    ASSERT_EQ(runs->topLevelItemCount(), 3);
    EXPECT_EQ(runs->topLevelItem(0)->text(1),
              QStringLiteral("Add x to end of each in folder(s): x = \"_old\""));
    EXPECT_EQ(dialog.Selected(), apart);  // what Ctrl+Z would take next

    // The dry run: the newest run's folder cannot go back, and says why, marked as a warning.
    dialog.ShowUndoOfSelected();
    QTreeWidget* plan = Tree(dialog, "UndoPlan");
    ASSERT_EQ(plan->topLevelItemCount(), 1);
    EXPECT_FALSE(plan->topLevelItem(0)->icon(0).isNull());
    EXPECT_FALSE(plan->topLevelItem(0)->text(2).isEmpty());

    // The oldest run waits for the one inside its folder, and the dialog points at it.
    QSignalSpy asked(&dialog, &HistoryDialog::undoRequested);
    dialog.Select(first);
    dialog.UndoSelected();
    EXPECT_EQ(asked.count(), 0);
    ASSERT_EQ(dialogs.Messages().size(), 1);
    EXPECT_EQ(dialog.Selected(), inside);
    dialog.UndoSelected();
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(asked.front().front().toString(), inside);

    dialog.ShowUndoOfSelected();
    ASSERT_EQ(plan->topLevelItemCount(), 1);
    EXPECT_TRUE(plan->topLevelItem(0)->icon(0).isNull());
    EXPECT_EQ(plan->topLevelItem(0)->text(1), PathOf(QStringLiteral("b/in")));
}

TEST_F(HistoryDialogTest, ExportsTheSelectedRunAndForgetsItOnlyAfterAYes) {
    MakeFolder(QStringLiteral("a"));
    const QString id = Run(1000, QStringLiteral("a"), QStringLiteral("b"));
    HistoryDialog dialog(nullptr, History(), dialogs, QStringLiteral("Trellisane"));

    dialogs.saveAnswers.push_back(PathOf(QStringLiteral("out.csv")));
    dialog.ExportSelected();
    QFile csv(PathOf(QStringLiteral("out.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll(), "time,old path,new path,outcome\r\n1970-01-01T00:00:01.000Z," +
                                 QFile::encodeName(PathOf(QStringLiteral("a"))) + ',' +
                                 QFile::encodeName(PathOf(QStringLiteral("b"))) + ",renamed\r\n");

    dialog.ForgetSelected();  // unscripted: No
    EXPECT_EQ(dialog.Runs().size(), 1u);
    dialogs.yesNoAnswers.push_back(DialogAnswer::Yes);
    dialog.ForgetSelected();
    EXPECT_TRUE(dialog.Runs().empty());
    EXPECT_TRUE(History().List().empty());
    EXPECT_EQ(Tree(dialog, "HistoryRuns")->topLevelItemCount(), 0);
}

}  // namespace
}  // namespace trellisane::testing
