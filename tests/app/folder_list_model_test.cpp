// The table model over the folder list: consistent under Qt's own model checker, and as cheap
// for a list of any length as its visible rows.

#include "app/folder_list_model.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QFont>
#include <QStringList>
#include <QTableView>
#include <QTest>
#include <memory>

namespace trellisane {
namespace {

/// Counts the model checker's complaints, which it gives as Qt warnings.
class WarningCounter {
  public:
    WarningCounter() {
        s_count = 0;
        m_previous = qInstallMessageHandler(&Count);
    }
    ~WarningCounter() { qInstallMessageHandler(m_previous); }
    int count() const { return s_count; }

  private:
    static void Count(QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg && type != QtInfoMsg) {
            ++s_count;
            ADD_FAILURE() << message.toStdString();
        }
    }
    static inline int s_count = 0;
    QtMessageHandler m_previous;
};

QStringList Paths(int count, const QString& prefix = "/data/f") {
    QStringList paths;
    for (int i = 0; i < count; ++i) paths << prefix + QString::number(i) + "/";
    return paths;
}

TEST(FolderListModel, StaysConsistentThroughEveryChange) {
    WarningCounter warnings;
    FolderList list;
    FolderListModel model(list);
    QAbstractItemModelTester tester(&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    model.AddColumn("Name Of Folder - Current");
    model.AddColumn("Name Of Folder - New Name");
    model.AddColumn("ignored");  // a third column is not shown
    EXPECT_EQ(model.columnCount(), 2);

    list.AppendInOrder(Paths(5));
    list.AppendBatch({"/a/", "/a/b/"});
    ASSERT_EQ(model.rowCount(), 7);
    EXPECT_EQ(model.index(5, 0).data().toString(), "/a/b/");
    list.SetNewPath(2, "/data/F1/");
    EXPECT_EQ(model.index(1, 1).data().toString(), "/data/F1/");
    {
        FolderList::BulkChange bulk(list);
        for (qsizetype i = 1; i <= list.Count(); ++i) list.SetNewPath(i, "/x/");
    }
    EXPECT_EQ(model.index(6, 1).data().toString(), "/x/");
    model.NotePass(Operation::OpUpperCase, {});  // "/x/" is not upper case: drawn in italics
    EXPECT_TRUE(model.index(6, 1).data(Qt::FontRole).value<QFont>().italic());
    list.Remove(1);
    list.Remove(list.Count());
    EXPECT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.index(0, 0).data().toString(), "/data/f1/");
    list.Clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Name Of Folder - New Name");
    EXPECT_EQ(warnings.count(), 0);
}

TEST(FolderListModel, ShowsAHundredThousandRowsWithoutCopyingThem) {
    FolderList list;
    FolderListModel model(list);
    model.AddColumn("Name Of Folder - Current");
    model.AddColumn("Name Of Folder - New Name");
    QTableView view;
    view.setModel(&model);
    view.resize(680, 121);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));

    list.AppendInOrder(Paths(100000));
    EXPECT_EQ(model.rowCount(), 100000);
    view.scrollToBottom();
    QCoreApplication::processEvents();
    const QModelIndex last = view.indexAt(view.viewport()->rect().bottomLeft() + QPoint(2, -2));
    EXPECT_EQ(last.data().toString(), "/data/f99999/");
    view.selectRow(50000);
    list.Remove(50001);
    EXPECT_EQ(model.index(50000, 0).data().toString(), "/data/f50001/");
    list.Clear();
    EXPECT_EQ(view.model()->rowCount(), 0);
}

TEST(FolderListModel, NamesThePassTheRowRecordsNotOneThatWouldGiveTheSameName) {
    FolderList list;
    FolderListModel model(list);
    model.AddColumn("Name Of Folder - Current");
    model.AddColumn("Name Of Folder - New Name");
    list.AppendInOrder({"/t/AB/"});
    PromptAnswers replace;
    replace.findWhat = "AB";
    replace.replaceWith = "ab";
    const quint32 pass = model.NotePass(Operation::OpFindReplace, replace);
    list.SetNewPath(1, "/t/ab/", pass);
    // A later pass that did not write the row would give it the very same name.
    EXPECT_NE(model.NotePass(Operation::OpLowerCase, {}), pass);
    const QModelIndex cell = model.index(0, 1);
    EXPECT_TRUE(cell.data(Qt::FontRole).value<QFont>().italic());
    EXPECT_TRUE(cell.data(Qt::ToolTipRole).toString().contains("Find and replace"))
        << cell.data(Qt::ToolTipRole).toString().toStdString();
}

/// After a run, each row shows what the run did with it, until something new is asked of it.
TEST(FolderListModel, RowsShowTheirLastRunUntilAskedSomethingNew) {
    FolderList list;
    FolderListModel model(list);
    model.AddColumn("Name Of Folder - Current");
    model.AddColumn("Name Of Folder - New Name");
    list.AppendInOrder({"/t/A/", "/t/b/", "/t/c/"});
    auto run = std::make_shared<RenameRun>();
    run->outcomes.resize(3);
    run->outcomes[0] = RowOutcome{1, "/t/a/", "/t/A/", RowFate{RowStatus::Renamed}};
    run->outcomes[1] = RowOutcome{2, "/t/b/", "/t/B/", RowFate{RowStatus::Taken}};
    run->outcomes[2] = RowOutcome{3, "/t/c/", "/t/c/", RowFate{RowStatus::Unchanged}};
    model.RecordRun(run);

    const auto tip = [&](int row) { return model.index(row, 1).data(Qt::ToolTipRole).toString(); };
    const auto warned = [&](int row) {
        return model.index(row, 1).data(Qt::DecorationRole).isValid();
    };
    EXPECT_FALSE(warned(0));
    EXPECT_EQ(tip(0), "Renamed by the last run, from \"/t/a/\".");
    EXPECT_TRUE(warned(1));
    EXPECT_TRUE(tip(1).contains("cannot be renamed to \"B\"")) << tip(1).toStdString();
    EXPECT_FALSE(warned(2));
    EXPECT_EQ(model.index(2, 0).data(Qt::ForegroundRole).value<QBrush>().color(),
              UnchangedColour());
    // Not the "not previewed" warning that a row without a new name gets from a plan.
    RenamePlan plan;
    plan.fates.assign(3, RowFate{RowStatus::NotPreviewed});
    plan.finalPaths.assign(3, QString());
    ASSERT_TRUE(model.ShowPlan(std::move(plan), model.Generation()));
    EXPECT_FALSE(warned(0));
    EXPECT_EQ(tip(0), "Renamed by the last run, from \"/t/a/\".");

    // A new name asked of a row makes the plan's marks the ones that count again.
    list.SetNewPath(1, "/t/Z/", model.NotePass(Operation::OpUpperCase, {}));
    EXPECT_FALSE(tip(0).contains("last run"));
    EXPECT_TRUE(tip(1).contains("last run"));
}

TEST(FolderListModel, LetsGoOfTheListWhenDestroyed) {
    FolderList list;
    {
        FolderListModel model(list);
        model.AddColumn("Name Of Folder - Current");
    }
    list.AppendInOrder({"/a/"});  // no observer left to call
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

}  // namespace
}  // namespace trellisane
