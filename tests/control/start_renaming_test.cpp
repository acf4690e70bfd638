// "Start Renaming" as the controller runs it: the messages, the reports and the rows.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>  // completes TempTree's member for the fixtures made here
#include <memory>

#include "control/rename_controller.h"
#include "folders/folder_list.h"
#include "shell/product.h"
#include "tests/control/control_fixture.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

using testing::DialogCall;
using testing::ScriptedDialogs;
using testing::TempTree;

const QString kTitle = QStringLiteral("Trellisane Title");

class StartRenamingTest : public TempTree {
  protected:
    static void SetUpTestSuite() { testing::EnsureCoreApplication(); }

    /// Start Renaming through the controller, its run on this thread; what the run recorded.
    RenameRun Run() {
        m_core.SetTitle(kTitle);
        ControllerHooks hooks;
        hooks.makeRun = [this](std::vector<FolderRow> rows, RenamePlatform platform,
                               std::function<void(const RowOutcome&)> report) -> RunJob* {
            auto* run =
                new testing::InlineRun(std::move(rows), std::move(platform), std::move(report));
            run->setParent(&m_core);
            return run;
        };
        m_core.SetHooks(std::move(hooks));
        QObject::connect(&m_core, &RenameController::startRenamingEnabled, &m_core,
                         [this](bool enabled) { m_disabled += enabled ? 0 : 1; });
        RenameRun recorded;
        QObject::connect(
            &m_core, &RenameController::runRecorded, &m_core,
            [&recorded](const std::shared_ptr<const RenameRun>& run) { recorded = *run; });
        m_core.StartRenaming();
        EXPECT_TRUE(testing::WaitUntil([&] { return m_core.State() == Busy::Idle; }));
        return recorded;
    }

    void ExpectPlainBox(const DialogCall& call, const QString& text) const {
        EXPECT_EQ(call.kind, DialogCall::Kind::Message);
        EXPECT_EQ(call.text, text);
        EXPECT_EQ(call.title, kTitle);
        EXPECT_EQ(call.icon, DialogIcon::None);
        EXPECT_EQ(call.buttons, DialogButtons::Ok);
    }

    ScriptedDialogs m_dialogs;
    RenameController m_core{m_dialogs, {}};
    FolderList& m_list = m_core.List();
    int m_disabled = 0;
};

TEST_F(StartRenamingTest, EmptyListSaysSoAndChangesNothingElse) {
    const RenameRun run = Run();

    ASSERT_EQ(m_dialogs.calls.size(), 1u);
    ExpectPlainBox(m_dialogs.calls[0], QStringLiteral("No folders added."));
    EXPECT_EQ(m_disabled, 0);  // the button stays as it was
    EXPECT_TRUE(run.outcomes.empty());
}

TEST_F(StartRenamingTest, ReportsEachFailedRowThenDoneThenDisables) {
    MakeFolder(QStringLiteral("a1"));
    MakeFolder(QStringLiteral("a2"));
    MakeFolder(QStringLiteral("b"));
    m_list.AppendInOrder({PathOf(QStringLiteral("a1/")), PathOf(QStringLiteral("a2/")),
                          PathOf(QStringLiteral("gone/")), PathOf(QStringLiteral("b/"))});
    m_list.SetNewPath(1, PathOf(QStringLiteral("a/")));
    m_list.SetNewPath(2, PathOf(QStringLiteral("a/")));
    m_list.SetNewPath(3, PathOf(QStringLiteral("gone2/")));
    m_list.SetNewPath(4, PathOf(QStringLiteral("c/")));
    // The button must still be enabled while the reports are open.
    m_dialogs.onCall = [this](const DialogCall&) { EXPECT_EQ(m_disabled, 0); };

    const RenameRun run = Run();

    const QString tail = QStringLiteral(
                             "in Dorvalin2021/08/31.Form1.PushButton2_Click at line 106\r\r"
                             "Please email screenshot of this message to ") +
                         QString::fromUtf8(kSupportEmail);
    ASSERT_EQ(m_dialogs.calls.size(), 3u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(m_dialogs.calls[i].title, QStringLiteral("Application Error"));
        EXPECT_EQ(m_dialogs.calls[i].icon, DialogIcon::Exclamation);
        EXPECT_EQ(m_dialogs.calls[i].buttons, DialogButtons::Ok);
    }
    // The platform's description first, then which folder and which name.
    EXPECT_EQ(m_dialogs.calls[0].text,
              QStringLiteral("File exists: \"%1\" cannot be renamed to \"a\" (a folder of that "
                             "name is already there, given it by row 1).\r\n")
                      .arg(PathOf(QStringLiteral("a2"))) +
                  tail);
    EXPECT_EQ(m_dialogs.calls[1].text,
              QStringLiteral("No such file or directory: \"%1\" cannot be renamed to \"gone2\" "
                             "(no folder is there any more).\r\n")
                      .arg(PathOf(QStringLiteral("gone"))) +
                  tail);
    ExpectPlainBox(m_dialogs.calls[2], QStringLiteral("Done."));
    EXPECT_EQ(m_disabled, 1);

    // The rows after a failure are still renamed, and the list shows where each folder is.
    EXPECT_TRUE(QFileInfo(PathOf(QStringLiteral("c"))).isDir());
    EXPECT_EQ(m_list.Row(2).current, PathOf(QStringLiteral("a2/")));
    EXPECT_EQ(m_list.Row(4).current, PathOf(QStringLiteral("c/")));
    ASSERT_EQ(run.outcomes.size(), 4u);
    EXPECT_FALSE(run.outcomes[2].ok());
}

TEST_F(StartRenamingTest, AllSucceedingShowsOnlyDone) {
    MakeFolder(QStringLiteral("a"));
    m_list.AppendInOrder({PathOf(QStringLiteral("a/")), PathOf(QStringLiteral("a/"))});
    m_list.SetNewPath(1, PathOf(QStringLiteral("b/")));
    m_list.SetNewPath(2, PathOf(QStringLiteral("b/")));  // the same folder, listed twice

    Run();

    ASSERT_EQ(m_dialogs.calls.size(), 1u);
    ExpectPlainBox(m_dialogs.calls[0], QStringLiteral("Done."));
    EXPECT_EQ(m_disabled, 1);
}

}  // namespace
}  // namespace trellisane
