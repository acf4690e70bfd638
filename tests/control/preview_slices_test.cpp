// A long list's preview pass, written a slice a turn of the event loop: whatever reads or
// changes the rows before the last slice sees them as a pass written at once leaves them. A
// run's rows are copied for it and written back after it the same way: closing midway leaves
// nothing half done.
#include <gtest/gtest.h>

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "control/rename_controller.h"
#include "engine/preview.h"
#include "folders/folder_list.h"
#include "tests/control/control_fixture.h"
#include "tests/support/scripted_dialogs.h"

namespace trellisane {
namespace {

const QString kUpper = QStringLiteral("Change case of folder(s) to UPPER CASE");
const QString kLower = QStringLiteral("Change case of folder(s) to lower case");

/// The rows' new paths as one PreviewRows of `operation` leaves them.
QStringList WrittenAtOnce(const QStringList& paths, Operation operation) {
    FolderList list;
    list.AppendInOrder(paths);
    PreviewRows(list, operation, {});
    QStringList written;
    for (qsizetype row = 1; row <= list.Count(); ++row) written << list.NewPath(row);
    return written;
}

QStringList NewPaths(const FolderList& list) {
    QStringList written;
    for (qsizetype row = 1; row <= list.Count(); ++row) written << list.NewPath(row);
    return written;
}

struct WhileWriting {
    const char* name;
    /// Done to the controller after the pass's first slice; returns the new paths the rows
    /// must then hold, given the paths listed and the selector's text (which it may change).
    std::function<QStringList(RenameController&, const QStringList&, QString&)> act;
    int passesSaid;  // `previewed` signals in all
};

class PreviewSlicesTest : public ::testing::TestWithParam<WhileWriting> {
  protected:
    static void SetUpTestSuite() { testing::EnsureCoreApplication(); }
};

TEST_P(PreviewSlicesTest, EndsAsThePassWrittenAtOnce) {
    const WhileWriting& with = GetParam();
    QStringList paths;
    for (int i = 0; i < 7; ++i)
        paths << QStringLiteral("/nowhere/p%1/folder %2/").arg(i % 2).arg(i);

    testing::ScriptedDialogs dialogs;
    RenameController core(dialogs, {});
    core.SetPreviewSlice(2);
    QString selector = kUpper;
    ControllerHooks hooks;
    hooks.preview.selectorText = [&selector] { return selector; };
    std::vector<FolderRow> ran;
    hooks.makeRun = [&](std::vector<FolderRow> rows, RenamePlatform platform,
                        std::function<void(const RowOutcome&)> report) -> RunJob* {
        ran = rows;  // what the run is handed, before anything is renamed
        auto* run = new testing::InlineRun(std::move(rows), std::move(platform), std::move(report));
        run->setParent(&core);
        return run;
    };
    core.SetHooks(std::move(hooks));
    int said = 0;
    QObject::connect(&core, &RenameController::previewed, &core, [&said] { ++said; });
    core.List().AppendInOrder(paths);

    core.Preview();
    ASSERT_TRUE(core.PreviewWriting());  // 7 rows, 2 a turn: only the first slice is written
    EXPECT_EQ(core.List().Count(), 7);   // List() itself finishes the pass...
    EXPECT_FALSE(core.PreviewWriting());
    EXPECT_EQ(NewPaths(std::as_const(core).List()), WrittenAtOnce(paths, Operation::OpUpperCase));
    selector = kLower;  // ...so a second pass starts from a whole one, and
    core.Preview();     // rows it has not reached yet still say UPPER CASE
    ASSERT_TRUE(core.PreviewWriting());

    const QStringList expected = with.act(core, paths, selector);
    ASSERT_TRUE(
        testing::WaitUntil([&] { return !core.PreviewWriting() && core.State() == Busy::Idle; }));
    const FolderList& list = std::as_const(core).List();
    if (!ran.empty()) {
        QStringList handed;
        for (const FolderRow& row : ran) handed << row.newPath;
        EXPECT_EQ(handed, expected);
    } else {
        EXPECT_EQ(NewPaths(list), expected);
    }
    EXPECT_EQ(said, with.passesSaid);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, PreviewSlicesTest,
    ::testing::Values(WhileWriting{"Nothing",
                                   [](RenameController&, const QStringList& paths, QString&) {
                                       return WrittenAtOnce(paths, Operation::OpLowerCase);
                                   },
                                   2},
                      WhileWriting{
                          "AnotherPass",
                          [](RenameController& core, const QStringList& paths, QString& selector) {
                              selector = kUpper;
                              core.Preview();
                              return WrittenAtOnce(paths, Operation::OpUpperCase);
                          },
                          3},
                      WhileWriting{"RemoveRow",
                                   [](RenameController& core, const QStringList& paths, QString&) {
                                       EXPECT_TRUE(core.RemoveRow(1));
                                       return WrittenAtOnce(paths, Operation::OpLowerCase).mid(1);
                                   },
                                   2},
                      WhileWriting{"Clear",
                                   [](RenameController& core, const QStringList&, QString&) {
                                       EXPECT_TRUE(core.Clear());
                                       return QStringList();
                                   },
                                   1},
                      WhileWriting{"StartRenaming",
                                   [](RenameController& core, const QStringList& paths, QString&) {
                                       core.StartRenaming();
                                       return WrittenAtOnce(paths, Operation::OpLowerCase);
                                   },
                                   2}),
    [](const ::testing::TestParamInfo<WhileWriting>& param) { return param.param.name; });

/// Closing while a run's rows are copied for it (`whileCopying`) or written back after it.
class RunSlicesTest : public ::testing::TestWithParam<bool> {
  protected:
    static void SetUpTestSuite() { testing::EnsureCoreApplication(); }
};

TEST_P(RunSlicesTest, ClosingMidwayLeavesNothingHalfDone) {
    const bool whileCopying = GetParam();
    testing::ScriptedDialogs dialogs;
    RenameController core(dialogs, {});
    core.SetPreviewSlice(2);
    ControllerHooks hooks;
    hooks.preview.selectorText = [] { return kUpper; };
    bool made = false;
    hooks.makeRun = [&](std::vector<FolderRow> rows, RenamePlatform platform,
                        std::function<void(const RowOutcome&)> report) -> RunJob* {
        made = true;
        auto* run = new testing::InlineRun(std::move(rows), std::move(platform), std::move(report));
        run->setParent(&core);
        return run;
    };
    core.SetHooks(std::move(hooks));
    QStringList paths;  // no such folders: every row fails, and the run clears its new path
    for (int i = 0; i < 7; ++i) paths << QStringLiteral("/nowhere/folder %1/").arg(i);
    core.List().AppendInOrder(paths);
    core.Preview();
    core.List();  // the whole pass written
    bool diskSettled = false;
    QObject::connect(&core, &RenameController::diskChanging, &core,
                     [&diskSettled](bool changing) { diskSettled = !changing; });

    core.StartRenaming();
    ASSERT_EQ(core.State(), Busy::Renaming);
    const FolderList& list = std::as_const(core).List();
    // One event at a time, up to the point where closing comes.
    const auto midway = [&] {
        return whileCopying ? !made : list.NewPath(1).isEmpty() && !list.NewPath(7).isEmpty();
    };
    for (int turn = 0; !whileCopying && list.NewPath(1).isEmpty() == false && turn < 1000; ++turn) {
        QCoreApplication::processEvents();  // one turn: one slice at most
    }
    ASSERT_TRUE(midway());
    ASSERT_EQ(core.State(), Busy::Renaming);
    core.StopAll({}, QDeadlineTimer(5000));

    EXPECT_EQ(core.State(), Busy::Idle);
    EXPECT_EQ(made, !whileCopying);  // a run whose rows were still being copied never starts
    for (qsizetype row = 1; row <= list.Count(); ++row) {
        // Untouched before the run; all written back after it, the last rows included.
        EXPECT_EQ(list.NewPath(row).isEmpty(), !whileCopying) << row;
    }
    EXPECT_EQ(diskSettled, whileCopying);  // closing leaves the rest to the window's end
}

INSTANTIATE_TEST_SUITE_P(Closing, RunSlicesTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return param.param ? "WhileCopying" : "WhileWritingBack";
                         });

}  // namespace
}  // namespace trellisane
