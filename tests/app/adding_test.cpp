// "Add Folder/s", the check box, removing rows and "Clear List", including what may happen
// while an add is still gathering its folders.

#include <QPointer>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "app/handler_lines.h"
#include "control/background_job.h"
#include "rename/rename_run.h"
#include "tests/app/window_fixture.h"

namespace trellisane::testing {
namespace {

using Kind = DialogCall::Kind;
constexpr int kAddToEnd = 6;
const QString kAddPrompt = QStringLiteral("Enter text to add: ");

/// Holds a walk on its worker thread until the test lets it go (or the window cancels it).
class Gate {
  public:
    void Release() {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_open = true;
        }
        m_wake.notify_all();
    }

    /// Called on the worker: waits until released or cancelled; true when released.
    bool Pass(const WalkHooks& hooks) {
        entered = true;
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_open) {
            if (hooks.cancelled && hooks.cancelled()) {
                sawCancel = true;
                return false;
            }
            m_wake.wait_for(lock, std::chrono::milliseconds(5));
        }
        return true;
    }

    std::atomic<bool> entered{false};
    std::atomic<bool> sawCancel{false};

  private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_open = false;
};

/// The real walk, held at the gate after it has gathered.
WalkFn GatedWalk(const std::shared_ptr<Gate>& gate) {
    return [gate](QStringList& folders, const WalkHooks& hooks) {
        GetSubDirectories2016(folders, true, hooks);
        gate->Pass(hooks);
    };
}

class AddingTest : public WindowTest {
  protected:
    /// Clicks "Add Folder/s" and waits until its walk is held at `gate`.
    void StartHeldAdd(const QString& chosen, Gate& gate) {
        Subfolders()->setChecked(true);
        dialogs.browseAnswers.push_back(chosen);
        Click("PushButton3");
        ASSERT_TRUE(WaitUntil([&] { return gate.entered.load(); }));
    }
};

// What one click of "Add Folder/s" appends.
struct AddRow {
    const char* name;
    QStringList tree;      // folders made below the temporary root
    bool ticked;           // "Add subfolders when adding folder"
    const char* chosen;    // relative to the root; "" cancels; starting with '/' taken as is
    QStringList expected;  // relative to the root, or as is when starting with '/'
};

class AddRowsTest : public WindowTest, public ::testing::WithParamInterface<AddRow> {};

TEST_P(AddRowsTest, AppendsOneBatchDeepestFirstAndPreviews) {
    const AddRow& row = GetParam();
    Open();
    for (const QString& folder : row.tree) MakeFolder(folder);
    Selector()->setCurrentIndex(kAddToEnd);
    Subfolders()->setChecked(row.ticked);
    const QString chosen = QString::fromLatin1(row.chosen);
    Add(chosen.isEmpty() || chosen.startsWith(u'/') ? chosen : PathOf(chosen));

    QStringList expected;
    for (const QString& path : row.expected) {
        expected << (path.startsWith(u'/') ? path : PathOf(path));
    }
    EXPECT_EQ(Currents(), expected);
    // Every click ends with one preview pass, a cancelled one too.
    EXPECT_EQ(dialogs.Prompts(), QStringList{kAddPrompt});
    EXPECT_EQ(form->Pointer(), kPointerDefault);
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Adding, AddRowsTest,
    ::testing::Values(AddRow{"Cancelled", {"a"}, true, "", {}},
                      AddRow{"UntickedTakesOnlyTheChosenFolder", {"a/b/c"}, false, "a", {"a/"}},
                      AddRow{"TickedWithoutSubfolders", {"a"}, true, "a", {"a/"}},
                      // Deepest first; equal depths in binary order (upper case first).
                      AddRow{"TickedTree",
                             {"a/B/c", "a/a", "a/B/d"},
                             true,
                             "a",
                             {"a/B/c/", "a/B/d/", "a/B/", "a/a/", "a/"}},
                      // One separator is appended whatever the path ends with.
                      AddRow{"RootGetsADoubledSeparator", {}, false, "/", {"//"}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(AddingTest, FoldersLeftOutAreToldInOneMessageBeforeThePreview) {
    Open();
    MakeFolder(QStringLiteral("a/\u042f/b"));  // left out with what lies beneath it
    MakeFolder(QStringLiteral("a/ok"));
    Selector()->setCurrentIndex(kAddToEnd);
    Subfolders()->setChecked(true);
    Add(PathOf("a"));
    EXPECT_EQ(Currents(), QStringList({PathOf("a/ok/"), PathOf("a/")}));
    ASSERT_EQ(dialogs.Messages().size(), 1);
    // Browse, then the message, then the preview pass's prompt.
    ASSERT_EQ(dialogs.calls.size(), 3u);
    const DialogCall& told = dialogs.calls[1];
    EXPECT_EQ(told.kind, DialogCall::Kind::Message);
    EXPECT_EQ(dialogs.calls[2].kind, DialogCall::Kind::Prompt);
    EXPECT_TRUE(told.text.startsWith("1 folder(s) beneath the folder you added were left out"))
        << told.text.toStdString();
    EXPECT_TRUE(told.text.endsWith(u'\n' + PathOf(QStringLiteral("a/\u042f/"))));
    EXPECT_EQ(told.title, form->ApplicationTitle());
    EXPECT_EQ(told.icon, DialogIcon::None);
}

TEST_F(AddingTest, AddingAFolderTwiceListsItTwice) {
    Open();
    MakeFolder("a");
    Add(PathOf("a"));
    Add(PathOf("a"));
    EXPECT_EQ(Currents(), QStringList({PathOf("a/"), PathOf("a/")}));
}

TEST_F(AddingTest, TheCheckBoxOnlyRunsThePreviewPass) {
    Open();
    MakeFolder("a");
    Add(PathOf("a"));
    Selector()->setCurrentIndex(kAddToEnd);
    dialogs.promptAnswers = {"_x"};
    QTest::mouseClick(Subfolders(), Qt::LeftButton);
    EXPECT_TRUE(Subfolders()->isChecked());
    EXPECT_EQ(dialogs.Prompts(), QStringList{kAddPrompt});
    EXPECT_EQ(Currents(), QStringList{PathOf("a/")});
    EXPECT_EQ(NewPaths(), QStringList{PathOf("a_x/")});
}

TEST_F(AddingTest, RemovingAndClearingWaitWhileAnAddIsBusy) {
    auto gate = std::make_shared<Gate>();
    Open(1, GatedWalk(gate));
    MakeFolder("one");
    MakeFolder("two");
    MakeFolder("tree/leaf");
    Add(PathOf("one"));
    Add(PathOf("two"));
    StartHeldAdd(PathOf("tree"), *gate);
    EXPECT_EQ(form->Pointer(), kPointerBusy);
    EXPECT_EQ(form->cursor().shape(), Qt::WaitCursor);

    DoubleClickList(0);
    List()->selectRow(0);
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Delete);
    Click("PushButton1");
    MoveMouse(Button("PushButton4"));
    EXPECT_EQ(Currents(), QStringList({PathOf("one/"), PathOf("two/")}));
    EXPECT_EQ(form->Pointer(), kPointerBusy);

    gate->Release();
    ASSERT_TRUE(WaitUntil([&] { return form->AddsInFlight() == 0; }));
    EXPECT_EQ(Currents(),
              QStringList({PathOf("one/"), PathOf("two/"), PathOf("tree/leaf/"), PathOf("tree/")}));
    EXPECT_EQ(form->Pointer(), kPointerDefault);
}

TEST_F(AddingTest, ASecondAddFinishesWhileTheFirstIsStillWalking) {
    auto gate = std::make_shared<Gate>();
    Open(1, GatedWalk(gate));
    MakeFolder("tree/leaf");
    MakeFolder("other");
    StartHeldAdd(PathOf("tree"), *gate);

    Subfolders()->setChecked(false);
    dialogs.browseAnswers.push_back(PathOf("other"));
    Click("PushButton3");
    ASSERT_TRUE(WaitUntil([&] { return form->List().Count() == 1; }));
    EXPECT_EQ(Currents(), QStringList{PathOf("other/")});
    // The first add to finish restores the default pointer, though the other still walks.
    EXPECT_EQ(form->Pointer(), kPointerDefault);
    EXPECT_EQ(form->AddsInFlight(), 1);

    gate->Release();
    ASSERT_TRUE(WaitUntil([&] { return form->AddsInFlight() == 0; }));
    EXPECT_EQ(Currents(), QStringList({PathOf("other/"), PathOf("tree/leaf/"), PathOf("tree/")}));
    EXPECT_EQ(form->Pointer(), kPointerDefault);
}

TEST_F(AddingTest, ABatchReadyDuringStartRenamingWaitsAndFollowsTheRenames) {
    auto gate = std::make_shared<Gate>();
    Open(1, GatedWalk(gate));
    MakeFolder("top/sub");
    Add(PathOf("top"));  // unticked: the row "top/", previewed as "TOP/"
    StartHeldAdd(PathOf("top"), *gate);

    qsizetype rowsWhileDone = -1;
    dialogs.onCall = [&](const DialogCall& call) {
        if (call.text != "Done.") return;
        // While "Done." is open the walk ends and its batch is ready...
        gate->Release();
        ASSERT_TRUE(WaitUntil([&] { return form->BatchesWaitingForRun() == 1; }));
        rowsWhileDone = form->List().Count();  // ...but is not appended yet
    };
    RunStartRenaming();
    EXPECT_EQ(rowsWhileDone, 1);
    ASSERT_TRUE(WaitUntil([&] { return form->AddsInFlight() == 0; }));
    EXPECT_EQ(AllFolders(), QStringList({"TOP", "TOP/sub", "program"}));
    EXPECT_EQ(Currents(), QStringList({PathOf("TOP/"), PathOf("TOP/sub/"), PathOf("TOP/")}));
    EXPECT_EQ(form->Pointer(), kPointerDefault);
}

TEST_F(AddingTest, AWalkReportIsShownOnTheWindowThreadWhileTheWalkWaits) {
    std::atomic<bool> walkResumed{false};
    Open(1, [&](QStringList& folders, const WalkHooks& hooks) {
        hooks.report("Input/output error", 104);
        walkResumed = true;
        folders << folders.first() + "more/";
    });
    MakeFolder("a");
    bool onWindowThread = false;
    bool walkWaiting = false;
    dialogs.onCall = [&](const DialogCall& call) {
        if (call.kind != Kind::Message) return;
        onWindowThread = QThread::currentThread() == form->thread();
        walkWaiting = !walkResumed;
    };
    Subfolders()->setChecked(true);
    Add(PathOf("a"));
    EXPECT_EQ(
        dialogs.Messages(),
        QStringList{Report("Input/output error",
                           "in VantelleTitle2021/08/31.AddFolder.GetSubDirectories2016 ", 104)});
    EXPECT_TRUE(onWindowThread);
    EXPECT_TRUE(walkWaiting);
    EXPECT_EQ(Currents(), QStringList({PathOf("a/more/"), PathOf("a/")}));
}

TEST_F(AddingTest, AWalkReportThatCannotBeShownLetsTheWalkGoOn) {
    Open(1, [](QStringList& folders, const WalkHooks& hooks) {
        hooks.report("Input/output error", 104);
        folders << folders.first() + "more/";
    });
    MakeFolder("a");
    dialogs.onCall = [](const DialogCall& call) {
        if (call.kind == Kind::Message) throw TrappedError("The box could not be shown.");
    };
    Subfolders()->setChecked(true);
    Add(PathOf("a"));
    EXPECT_EQ(Currents(), QStringList({PathOf("a/more/"), PathOf("a/")}));
    EXPECT_EQ(form->Pointer(), kPointerDefault);
}

TEST_F(AddingTest, AFailedWalkIsReportedAndTheAddStillEnds) {
    Open(1, [](QStringList& folders, const WalkHooks&) {
        folders << folders.first() + "found/";
        throw TrappedError("The walk broke down.");
    });
    MakeFolder("a");
    Selector()->setCurrentIndex(kAddToEnd);
    Subfolders()->setChecked(true);
    Add(PathOf("a"));
    EXPECT_EQ(dialogs.Messages(),
              QStringList{Report("The walk broke down.",
                                 "in Dorvalin2021/08/31.Form1.PushButton3_Click ", 110)});
    EXPECT_EQ(Currents(), QStringList({PathOf("a/found/"), PathOf("a/")}));  // what it had
    EXPECT_EQ(form->Pointer(), kPointerDefault);
    EXPECT_EQ(dialogs.Prompts(), QStringList{kAddPrompt});
}

TEST_F(AddingTest, ClosingTheWindowStopsAnAddStillWalking) {
    auto gate = std::make_shared<Gate>();
    Open(1, [gate](QStringList&, const WalkHooks& hooks) { gate->Pass(hooks); });
    MakeFolder("a");
    StartHeldAdd(PathOf("a"), *gate);
    form->close();
    EXPECT_TRUE(gate->sawCancel);
    EXPECT_EQ(form->AddsInFlight(), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->List().Count(), 0);
}

TEST_F(AddingTest, ClosingWhileAWalkReportIsOpenAnswersItAsCancelledAndLeaves) {
    std::atomic<bool> walkReturned{false};
    Open(1, [&](QStringList& folders, const WalkHooks& hooks) {
        hooks.report("Input/output error", 104);
        folders << folders.first() + "more/";
        walkReturned = true;
    });
    MakeFolder("a");
    bool closed = false;
    dialogs.onCall = [&](const DialogCall& call) {
        if (call.kind != Kind::Message || closed) return;
        closed = true;
        form->close();  // while the report is still open
    };
    Subfolders()->setChecked(true);
    dialogs.browseAnswers.push_back(PathOf("a"));
    Click("PushButton3");
    ASSERT_TRUE(WaitUntil([&] { return closed; }));
    EXPECT_TRUE(walkReturned);  // the walk stopped waiting for OK
    EXPECT_EQ(form->AddsInFlight(), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->List().Count(), 0);  // its batch is dropped
    EXPECT_EQ(dialogs.Messages().size(), 1);
}

TEST_F(AddingTest, ClosingDoesNotWaitForAWalkThatIgnoresTheCancel) {
    // A walk stuck in a system call: it neither looks at the cancel flag nor returns.
    auto gate = std::make_shared<Gate>();
    auto left = std::make_shared<std::atomic<bool>>(false);
    Open(1, [gate, left](QStringList&, const WalkHooks&) {
        gate->Pass(WalkHooks{});
        *left = true;
    });
    MakeFolder("a");
    StartHeldAdd(PathOf("a"), *gate);
    const QPointer<BackgroundJob> job = form->findChild<BackgroundJob*>();
    ASSERT_FALSE(job.isNull());
    form->close();
    EXPECT_FALSE(*left);  // closing returned while the walk was still inside
    EXPECT_EQ(form->AddsInFlight(), 0);
    form.reset();
    EXPECT_FALSE(job.isNull());  // abandoned, not deleted under its running thread
    gate->Release();
    ASSERT_TRUE(WaitUntil([&] { return left->load(); }));
    // Once the walk returns, the abandoned job deletes itself: nothing is left to leak.
    ASSERT_TRUE(WaitUntil([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return job.isNull();
    }));
}

class RemovalTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        Open();
        for (const char* name : {"a", "b", "c"}) {
            MakeFolder(name);
            Add(PathOf(name));
        }
        ASSERT_EQ(NewPaths(), QStringList({PathOf("A/"), PathOf("B/"), PathOf("C/")}));
        dialogs.calls.clear();
    }
};

TEST_F(RemovalTest, DoubleClickRemovesTheRowClicked) {
    DoubleClickList(1);
    EXPECT_EQ(Currents(), QStringList({PathOf("a/"), PathOf("c/")}));
    EXPECT_EQ(NewPaths(), QStringList({PathOf("A/"), PathOf("C/")}));  // no preview pass
    EXPECT_TRUE(dialogs.calls.empty());
}

TEST_F(RemovalTest, NothingSelectedRemovesNothing) {
    List()->clearSelection();
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Delete);
    EXPECT_EQ(form->List().Count(), 3);
    EXPECT_TRUE(dialogs.calls.empty());
}

struct KeyRow {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool removes;
};

class RemovalKeyTest : public RemovalTest, public ::testing::WithParamInterface<KeyRow> {};

TEST_P(RemovalKeyTest, OnlyDeleteRemovesWhateverTheModifiers) {
    List()->selectRow(0);
    List()->setFocus();
    QTest::keyClick(List(), GetParam().key, GetParam().modifiers);
    EXPECT_EQ(Currents(), GetParam().removes
                              ? QStringList({PathOf("b/"), PathOf("c/")})
                              : QStringList({PathOf("a/"), PathOf("b/"), PathOf("c/")}));
    EXPECT_TRUE(dialogs.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Removal, RemovalKeyTest,
    ::testing::Values(KeyRow{"Delete", Qt::Key_Delete, Qt::NoModifier, true},
                      KeyRow{"ShiftDelete", Qt::Key_Delete, Qt::ShiftModifier, true},
                      KeyRow{"CtrlDelete", Qt::Key_Delete, Qt::ControlModifier, true},
                      KeyRow{"AltDelete", Qt::Key_Delete, Qt::AltModifier, true},
                      KeyRow{"Backspace", Qt::Key_Backspace, Qt::NoModifier, false},
                      KeyRow{"LetterD", Qt::Key_D, Qt::NoModifier, false}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(RemovalTest, ClearListRemovesEveryRowAndPreviews) {
    Selector()->setCurrentIndex(kAddToEnd);
    Click("PushButton1");
    EXPECT_EQ(form->List().Count(), 0);
    EXPECT_EQ(dialogs.Prompts(), QStringList{kAddPrompt});
}

TEST_F(WindowTest, ClearListOnAnEmptyListStillPreviews) {
    Open();
    RunStartRenaming();  // "No folders added."
    Selector()->setCurrentIndex(kAddToEnd);
    dialogs.calls.clear();
    DoubleClickList(-1);
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Delete);
    EXPECT_TRUE(dialogs.calls.empty());

    Click("PushButton1");
    EXPECT_EQ(form->List().Count(), 0);
    EXPECT_EQ(dialogs.Prompts(), QStringList{kAddPrompt});
    EXPECT_TRUE(Button("PushButton2")->isEnabled());
}

}  // namespace
}  // namespace trellisane::testing
