// The plan's marks in the list: the warning, the grey, the tooltip and the final path; a plan
// made stale before it arrives; "Remove Rows That Cannot Be Renamed".

#include <QAbstractItemModelTester>
#include <QAction>
#include <QBrush>
#include <QFont>
#include <QMenu>
#include <QThread>
#include <atomic>
#include <memory>

#include "app/folder_list_model.h"
#include "app/row_planner.h"
#include "tests/app/window_fixture.h"

namespace trellisane::testing {
namespace {

constexpr int kUpperCase = 0;
constexpr int kFirstSeparator = 4;
constexpr int kRemoveNumeric = 14;

/// The tree every test lists: "ab1" loses its digit to the name of the listed "ab", "12" to
/// nothing, "e3" renames the folder above its listed "f4" (listed first, deepest first).
constexpr const char* kTree[] = {"t/12", "t/ab", "t/ab1", "t/cd", "t/e3/f4"};

class PlanMarksTest : public WindowTest {
  protected:
    void TearDown() override {
        hold->store(false);  // a held plan must not keep the window from closing
        WindowTest::TearDown();
    }

    /// Opens the window, lists the tree with its sub-folders and previews Remove numeric.
    void ListTree() {
        for (const char* folder : kTree) MakeFolder(QString::fromLatin1(folder));
        Open();
        Subfolders()->setChecked(true);
        Add(PathOf(QStringLiteral("t")));
        Pick(kRemoveNumeric);
        ASSERT_TRUE(WaitForPlan());
    }

    FolderListModel& Model() const { return *static_cast<FolderListModel*>(List()->model()); }
    RowPlanner& Planner() const { return *form->findChild<RowPlanner*>(); }
    QAction* RemoveEntry() const { return Find<QAction>("RemoveRowsThatCannotBeRenamed"); }

    bool WaitForPlan() const {
        return WaitUntil([&] { return !Planner().Planning() && Model().HasPlan(); });
    }

    /// The row (from 0) whose current path is `relative` below the root, with a separator.
    int RowOf(const QString& relative) const {
        return static_cast<int>(Currents().indexOf(PathOf(relative) + u'/'));
    }

    QVariant Cell(const QString& relative, int column, int role) const {
        return Model().data(Model().index(RowOf(relative), column), role);
    }

    /// Plans from now on wait in their first look at the disk while `hold` is set.
    void HoldPlans() {
        RenamePlatform platform = DefaultRenamePlatform();
        platform.examine = [hold = hold, entered = entered](const QString& path) {
            ++*entered;
            while (hold->load()) QThread::msleep(1);
            return ExamineEntry(path);
        };
        Planner().SetPlatform(platform);
    }

    std::shared_ptr<std::atomic<bool>> hold = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<std::atomic<int>> entered = std::make_shared<std::atomic<int>>(0);
};

/// How one row's New Name cell is expected to look after the Remove numeric pass.
struct MarkRow {
    const char* name;
    const char* folder;   ///< relative to the root
    bool warning;         ///< the style's warning icon and the warning colour
    bool greyed;          ///< both cells in the grey of unchanged rows
    const char* toolTip;  ///< "%1" stands for the root; "" for none
};

void PrintTo(const MarkRow& row, std::ostream* out) { *out << row.name; }

class PlanMarkRows : public PlanMarksTest, public ::testing::WithParamInterface<MarkRow> {};

TEST_P(PlanMarkRows, ShowWhatStartRenamingWouldDo) {
    ListTree();
    const MarkRow& row = GetParam();
    const QString folder = QString::fromLatin1(row.folder);
    ASSERT_GE(RowOf(folder), 0);

    EXPECT_EQ(Cell(folder, 1, Qt::DecorationRole).isValid(), row.warning);
    const QVariant colour = Cell(folder, 1, Qt::ForegroundRole);
    if (row.warning) {
        EXPECT_EQ(colour.value<QBrush>().color(), WillNotRenameColour());
    } else if (row.greyed) {
        EXPECT_EQ(colour.value<QBrush>().color(), UnchangedColour());
        EXPECT_EQ(Cell(folder, 0, Qt::ForegroundRole).value<QBrush>().color(), UnchangedColour());
    } else {
        EXPECT_FALSE(colour.isValid());
        EXPECT_FALSE(Cell(folder, 0, Qt::ForegroundRole).isValid());
    }
    const QString toolTip = QString::fromUtf8(row.toolTip);
    EXPECT_EQ(Cell(folder, 1, Qt::ToolTipRole).toString(),
              toolTip.contains(u'%') ? toolTip.arg(Root()) : toolTip);
    EXPECT_FALSE(Cell(folder, 0, Qt::DecorationRole).isValid());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlanMarkRows,
    ::testing::Values(
        MarkRow{"TakenByAListedFolder", "t/ab1", true, false,
                "The new name is already taken by another listed folder in its parent folder."},
        MarkRow{"EmptyName", "t/12", true, false, "The new name would be empty."},
        MarkRow{"Unchanged", "t/cd", false, true, "The new name is the folder's current name."},
        MarkRow{"CarriedByALaterRow", "t/e3/f4", false, false,
                "After the whole run the folder will be at \"%1/t/e/f/\"."},
        MarkRow{"Renamed", "t/e3", false, false, ""}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(PlanMarksTest, TheMarksAndTheItalicsShareOneTooltip) {
    ListTree();
    Pick(kFirstSeparator);  // writes nothing: the names of before are now italic
    ASSERT_TRUE(WaitForPlan());
    EXPECT_TRUE(Cell("t/ab1", 1, Qt::FontRole).value<QFont>().italic());
    EXPECT_TRUE(Cell("t/ab1", 1, Qt::DecorationRole).isValid());
    EXPECT_EQ(Cell("t/ab1", 1, Qt::ToolTipRole).toString(),
              QStringLiteral("The new name is already taken by another listed folder in its "
                             "parent folder.\nNot made by the latest preview but earlier, by "
                             "\"Remove numeric character(s) in folder(s)\". Start Renaming "
                             "applies it as shown."));
}

/// What happens to the rows while a plan of them is held.
struct StaleStep {
    const char* name;
    std::function<void(PlanMarksTest&)> act;
};

void PrintTo(const StaleStep& step, std::ostream* out) { *out << step.name; }

class StalePlan : public PlanMarksTest, public ::testing::WithParamInterface<StaleStep> {
  public:
    using WindowTest::Add;
    using WindowTest::MakeFolder;
    using WindowTest::PathOf;
    using WindowTest::Pick;
};

TEST_P(StalePlan, IsDroppedNeverShown) {
    ListTree();
    QAbstractItemModelTester tester(&Model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    HoldPlans();
    hold->store(true);
    Pick(kUpperCase);  // every folder would be renamed: no row marked
    ASSERT_TRUE(WaitUntil([&] { return entered->load() > 0; }));
    EXPECT_FALSE(Model().HasPlan());

    // Every plan shown from here on must be of the rows as they stand when it is shown.
    int shown = 0;
    QObject::connect(&Model(), &FolderListModel::planChanged, form.get(), [&] {
        if (!Model().HasPlan()) return;
        ++shown;
        EXPECT_GT(Model().CannotBeRenamed(), 0) << "the held plan of UPPER CASE was shown";
    });
    GetParam().act(*this);  // the rows change: Remove numeric marks rows again
    hold->store(false);
    ASSERT_TRUE(WaitForPlan());
    QTest::qWait(50);  // the held plan's end has had its chance to arrive
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(Cell("t/ab1", 1, Qt::DecorationRole).isValid());
}

INSTANTIATE_TEST_SUITE_P(Steps, StalePlan,
                         ::testing::Values(StaleStep{"ANewPass",
                                                     [](PlanMarksTest& fixture) {
                                                         static_cast<StalePlan&>(fixture).Pick(
                                                             kRemoveNumeric);
                                                     }},
                                           StaleStep{"AnAdd",
                                                     [](PlanMarksTest& fixture) {
                                                         auto& s = static_cast<StalePlan&>(fixture);
                                                         s.Pick(kRemoveNumeric);
                                                         s.MakeFolder(QStringLiteral("other"));
                                                         s.Add(s.PathOf(QStringLiteral("other")));
                                                     }}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(PlanMarksTest, ARunAndAnUndoAreEachPlannedOnceForTheRowsAfterThem) {
    ListTree();
    int shown = 0;
    QObject::connect(&Model(), &FolderListModel::planChanged, form.get(), [&] {
        if (Model().HasPlan()) ++shown;
    });
    Click("PushButton2");
    ASSERT_TRUE(WaitForPlan());
    QTest::qWait(50);
    EXPECT_EQ(shown, 1);
    // The run cleared every new path: nothing is left that it could rename.
    EXPECT_EQ(Model().CannotBeRenamed(), Model().rowCount());

    Find<QAction>("UndoLastRenaming")->trigger();
    ASSERT_TRUE(WaitForPlan());
    QTest::qWait(50);
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(Cell("t/ab1", 1, Qt::ToolTipRole).toString(),
              QStringLiteral("The new name is already taken by another listed folder in its "
                             "parent folder."));
}

TEST_F(PlanMarksTest, RemovingRowsThatCannotBeRenamedLeavesTheDiskAndPlansTheRest) {
    ListTree();
    auto* menu = Find<QMenu>("ListView1Menu");
    ASSERT_TRUE(menu->actions().contains(RemoveEntry()));
    ASSERT_TRUE(RemoveEntry()->isEnabled());
    QAbstractItemModelTester tester(&Model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QStringList folders = AllFolders();
    const size_t calls = dialogs.calls.size();
    // The rows that stay, with the new paths they had: no preview pass runs.
    QStringList keptCurrents = Currents();
    QStringList keptNewPaths = NewPaths();
    for (const char* gone : {"t/ab1", "t/12"}) {
        const int row = RowOf(QString::fromLatin1(gone));
        keptCurrents.removeAt(row);
        keptNewPaths.removeAt(row);
    }

    RemoveEntry()->trigger();
    EXPECT_EQ(Currents(), keptCurrents);
    EXPECT_EQ(NewPaths(), keptNewPaths);
    EXPECT_EQ(AllFolders(), folders);
    EXPECT_EQ(dialogs.calls.size(), calls);

    ASSERT_TRUE(WaitForPlan());  // made again, for the rows that stay: nothing left to remove
    EXPECT_EQ(Model().CannotBeRenamed(), 0);
    EXPECT_FALSE(RemoveEntry()->isEnabled());
}

}  // namespace
}  // namespace trellisane::testing
