// The table model over the folder list: consistent under Qt's own model checker, and as cheap
// for a list of any length as its visible rows.

#include "app/folder_list_model.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QFont>
#include <QStringList>
#include <QTableView>
#include <QTest>

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
