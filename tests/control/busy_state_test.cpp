// The controller's one busy state, reached the way the window reaches it: what each state lets
// through and what the window derives from it (the busy pointer, PreviewBusy, the undo).

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QTemporaryDir>  // completes TempTree's member
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "control/background_job.h"
#include "control/rename_controller.h"
#include "tests/control/control_fixture.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

using testing::InlineRun;
using testing::WaitUntil;

/// What the window reads of the controller at one moment.
struct Seen {
    Busy state = Busy::Idle;
    bool preview = false, add = false, removeRows = false, start = false, undo = false;
    bool previewBusy = false, pointerBusy = false, canUndo = false;
};

Seen Look(const RenameController& core) {
    return {core.State(),
            core.Allows(Action::Preview),
            core.Allows(Action::Add),
            core.Allows(Action::RemoveRows),
            core.Allows(Action::StartRenaming),
            core.Allows(Action::Undo),
            core.PreviewBusy(),
            core.PointerBusy(),
            core.CanUndo()};
}

class BusyStateTest : public testing::TempTree {
  protected:
    static void SetUpTestSuite() { testing::EnsureCoreApplication(); }

    void SetUp() override {
        TempTree::SetUp();
        run = nullptr;
        finishRunsAtOnce = true;
        duringUndo.reset();
        core = std::make_unique<RenameController>(
            dialogs, [gate = gate](QStringList&, const WalkHooks& hooks) {
                while (gate->load() && !hooks.cancelled()) QThread::msleep(1);
            });
        ControllerHooks hooks;
        hooks.makeRun = [this](std::vector<FolderRow> rows, RenamePlatform platform,
                               std::function<void(const RowOutcome&)>) -> RunJob* {
            run = new InlineRun(std::move(rows), std::move(platform), {}, finishRunsAtOnce);
            run->setParent(core.get());
            return run;
        };
        core->SetHooks(std::move(hooks));
        // Every rename the disk is asked for, undo's included, shows the state at that moment.
        RenamePlatform platform = DefaultRenamePlatform();
        platform.renameNoReplace = [this](const QString& from, const QString& to) {
            if (core->State() == Busy::Undoing) duringUndo = Look(*core);
            return RenameNoReplace(from, to);
        };
        core->SetPlatform(platform);
    }

    void TearDown() override {
        gate->store(false);
        core->StopAll({}, QDeadlineTimer(5000));
        core.reset();
        TempTree::TearDown();
    }

    /// One row, folder `a` renamed to `A` when run.
    void ListOne() {
        core->List().AppendInOrder({PathOf("a") + u'/'});
        core->List().SetNewPath(1, PathOf("A") + u'/');
    }

    testing::ScriptedDialogs dialogs;
    std::shared_ptr<std::atomic<bool>> gate = std::make_shared<std::atomic<bool>>(false);
    std::unique_ptr<RenameController> core;
    InlineRun* run = nullptr;
    bool finishRunsAtOnce = true;
    std::optional<Seen> duringUndo;
};

TEST_F(BusyStateTest, EachStateLetsThroughWhatItShould) {
    using Scenario = std::function<Seen()>;
    struct Row {
        const char* name;
        Scenario reach;
        Seen expected;
    };
    const Row rows[] = {
        {"nothing under way",
         [this] { return Look(*core); },
         {Busy::Idle, true, true, true, true, true, false, false, false}},
        {"an add under way shows the busy pointer",
         [this] {
             core->StartAdd(ErrorTrap(dialogs, QString()), {PathOf("a")}, false);
             return Look(*core);
         },
         {Busy::Adding, true, true, false, true, false, false, true, false}},
        {"the first add to append gives the pointer back; the other still walks",
         [this] {
             gate->store(true);
             core->StartAdd(ErrorTrap(dialogs, QString()), {PathOf("a")}, true);
             core->StartAdd(ErrorTrap(dialogs, QString()), {PathOf("a")}, false);
             EXPECT_TRUE(WaitUntil([&] { return core->AddsInFlight() == 1; }));
             return Look(*core);
         },
         {Busy::Adding, true, true, true, true, false, false, false, false}},
        {"a run under way",
         [this] {
             finishRunsAtOnce = false;
             core->StartRenaming();
             return Look(*core);
         },
         {Busy::Renaming, false, false, false, false, false, true, true, false}},
        {"a run ended that can be undone",
         [this] {
             core->StartRenaming();
             EXPECT_TRUE(WaitUntil([&] { return core->State() == Busy::Idle; }));
             return Look(*core);
         },
         {Busy::Idle, true, true, true, true, true, false, false, true}},
        {"an undo putting folders back",
         [this] {
             core->StartRenaming();
             EXPECT_TRUE(WaitUntil([&] { return core->State() == Busy::Idle; }));
             core->Undo();
             EXPECT_TRUE(duringUndo.has_value());
             return duringUndo.value_or(Seen{});
         },
         {Busy::Undoing, false, false, false, false, false, true, true, false}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        MakeFolder("a");
        ListOne();
        const Seen seen = row.reach();
        const Seen& want = row.expected;
        EXPECT_EQ(seen.state, want.state);
        EXPECT_EQ(seen.preview, want.preview);
        EXPECT_EQ(seen.add, want.add);
        EXPECT_EQ(seen.removeRows, want.removeRows);
        EXPECT_EQ(seen.start, want.start);
        EXPECT_EQ(seen.undo, want.undo);
        EXPECT_EQ(seen.previewBusy, want.previewBusy);
        EXPECT_EQ(seen.pointerBusy, want.pointerBusy);
        EXPECT_EQ(seen.canUndo, want.canUndo);
        // The guards hold: what a state refuses does nothing.
        if (!want.removeRows && core->State() == want.state) {
            EXPECT_FALSE(core->Clear());
            EXPECT_GE(core->List().Count(), 1);
        }
        if (run != nullptr && !finishRunsAtOnce) run->Finish();
        gate->store(false);
        EXPECT_TRUE(WaitUntil([&] { return core->State() == Busy::Idle; }));
    }
}

/// A run for which no thread can be had.
class UnstartableRun : public InlineRun {
  public:
    using InlineRun::InlineRun;
    bool Start() override { return false; }
};

TEST_F(BusyStateTest, AnAddThatEndsWhileARunIsMadeIsAppendedWhenTheRunCannotStart) {
    // The add's batch comes in while the run is being made, so it waits for the run's end; a
    // run that never starts must let it through rather than leave the add under way for good.
    MakeFolder("a");
    MakeFolder("b");
    ListOne();
    gate->store(true);
    core->StartAdd(ErrorTrap(dialogs, QString()), {PathOf("b")}, true);
    auto* add = core->findChild<BackgroundJob*>();
    ASSERT_NE(add, nullptr);
    bool added = false;  // connected after the controller: its own handler has run by then
    QObject::connect(add, &BackgroundJob::finished, core.get(), [&added] { added = true; });
    ControllerHooks hooks;
    hooks.makeRun = [this, &added](std::vector<FolderRow> rows, RenamePlatform platform,
                                   std::function<void(const RowOutcome&)>) -> RunJob* {
        gate->store(false);
        EXPECT_TRUE(WaitUntil([&] { return added; }));
        auto* unstartable = new UnstartableRun(std::move(rows), std::move(platform), {});
        unstartable->setParent(core.get());
        return unstartable;
    };
    core->SetHooks(std::move(hooks));

    core->StartRenaming();
    EXPECT_EQ(core->State(), Busy::Idle);
    EXPECT_EQ(core->AddsInFlight(), 0);
    EXPECT_EQ(core->List().Count(), 2);
}

}  // namespace
}  // namespace trellisane
