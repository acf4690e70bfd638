// Folders from outside the window: the command line, a drop on the list, and a second start
// handing its folders to the window that is open.

#include <QApplication>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLocalServer>
#include <QMimeData>
#include <QUrl>
#include <atomic>
#include <optional>
#include <thread>

#include "app/launch_arguments.h"
#include "app/single_instance.h"
#include "tests/app/window_fixture.h"

namespace trellisane::testing {
namespace {

constexpr int kAddToEnd = 6;
const QString kNotFolders = QStringLiteral("Only folders are listed, so these were not added:\n\n");

// ---- the command line ----------------------------------------------------------------------

struct ArgumentsRow {
    const char* name;
    QStringList arguments;
    QStringList folders;  // expected, with the working folder "/w/d"
    bool subfolders = false;
    std::optional<int> exitStatus = std::nullopt;
};

class LaunchArgumentsTest : public ::testing::TestWithParam<ArgumentsRow> {};

TEST_P(LaunchArgumentsTest, ReadsFoldersAndOptions) {
    const ArgumentsRow& row = GetParam();
    const LaunchArguments parsed = ParseLaunchArguments(row.arguments, QStringLiteral("/w/d"));
    EXPECT_EQ(parsed.exitStatus, row.exitStatus);
    if (row.exitStatus) return;
    EXPECT_EQ(parsed.request.folders, row.folders);
    EXPECT_EQ(parsed.request.subfolders, row.subfolders);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LaunchArgumentsTest,
    ::testing::Values(
        ArgumentsRow{"none", {}, {}},
        ArgumentsRow{"relative_and_absolute",
                     {"--subfolders", "Photos", "../x/./y/", "/abs//z"},
                     {"/w/d/Photos", "/w/x/y", "/abs/z"},
                     true},
        ArgumentsRow{"file_uris",
                     {"file:///home/a%20b/%C3%A9t%C3%A9", "file://localhost/srv/m", "file:/one"},
                     {"/home/a b/été", "/srv/m", "/one"}},
        // Not local: kept as given, so the window names them as no folders.
        ArgumentsRow{"other_hosts_and_schemes",
                     {"file://nas/share", "sftp://host/home", "smb://x/y"},
                     {"file://nas/share", "sftp://host/home", "smb://x/y"}},
        ArgumentsRow{"options_end", {"--", "--subfolders", "-"}, {"/w/d/--subfolders", "/w/d/-"}},
        ArgumentsRow{"empty_skipped", {"", "a"}, {"/w/d/a"}}, ArgumentsRow{"root", {"/"}, {"/"}},
        ArgumentsRow{"help", {"a", "--help"}, {}, false, 0},
        ArgumentsRow{"short_help", {"-h"}, {}, false, 0},
        ArgumentsRow{"version", {"--version"}, {}, false, 0},
        ArgumentsRow{"unknown_option", {"--recursive", "a"}, {}, false, 2},
        ArgumentsRow{"qt_option_is_not_ours", {"-platform", "xcb"}, {}, false, 2}),
    [](const ::testing::TestParamInfo<ArgumentsRow>& test) { return test.param.name; });

TEST(LaunchArgumentsTest, HelpAndVersionGoToStandardOutput) {
    const LaunchArguments help = ParseLaunchArguments({"--help"}, "/");
    EXPECT_TRUE(help.out.startsWith("Usage: trellisane [--subfolders] [FOLDER...]\n"));
    EXPECT_TRUE(help.err.isEmpty());
    EXPECT_EQ(ParseLaunchArguments({"--version"}, "/").out, "trellisane " TRELLISANE_VERSION "\n");
    const LaunchArguments wrong = ParseLaunchArguments({"--bogus"}, "/");
    EXPECT_TRUE(wrong.out.isEmpty());
    EXPECT_TRUE(wrong.err.contains("'--bogus'"));
}

// ---- the window ---------------------------------------------------------------------------

class OutsideAddTest : public WindowTest {
  protected:
    /// Hands `add` to the window and waits until its batches are listed.
    void AddAndWait(OutsideAdd add) {
        form->AddFromOutside(std::move(add));
        ASSERT_TRUE(WaitUntil([&] { return form->AddsInFlight() == 0; }));
    }
};

// `trellisane --subfolders A file://.../B`: each folder its own batch in depth order, in the
// order given, the check box ticked, and one preview pass for both.
TEST_F(OutsideAddTest, CommandLineFoldersAreBatchesInOrderWithOnePreview) {
    for (const char* folder : {"A/A1/A11", "A/A2", "B/B1"}) MakeFolder(folder);
    Open();
    Selector()->setCurrentIndex(kAddToEnd);
    dialogs.promptAnswers = {"_x"};
    const QString b = QUrl::fromLocalFile(PathOf("B")).toString();
    const LaunchArguments launch = ParseLaunchArguments({"--subfolders", "A", b}, Root());
    ASSERT_FALSE(launch.exitStatus);
    AddAndWait({launch.request.folders, {}, launch.request.subfolders});

    EXPECT_EQ(Currents(), QStringList({PathOf("A/A1/A11/"), PathOf("A/A1/"), PathOf("A/A2/"),
                                       PathOf("A/"), PathOf("B/B1/"), PathOf("B/")}));
    EXPECT_TRUE(Subfolders()->isChecked());
    EXPECT_EQ(dialogs.Prompts(), QStringList{"Enter text to add: "});
    EXPECT_EQ(NewPaths().first(), PathOf("A/A1/A11_x/"));
    EXPECT_TRUE(dialogs.Messages().isEmpty());
    EXPECT_EQ(form->Pointer(), kPointerDefault);
}

// What is no folder is named in one message; the folders are added all the same, and without
// --subfolders neither the sub-folders nor the check box.
TEST_F(OutsideAddTest, WhatIsNoFolderIsNamedInOneMessage) {
    MakeFolder("A/A1");
    MakeFile("note.txt");
    Open();
    AddAndWait({{PathOf("missing"), PathOf("A"), PathOf("note.txt"), "sftp://host/x"}, {}, false});

    EXPECT_EQ(Currents(), QStringList{PathOf("A/")});
    EXPECT_FALSE(Subfolders()->isChecked());
    ASSERT_EQ(dialogs.calls.front().kind, DialogCall::Kind::Message);
    EXPECT_EQ(dialogs.Messages(), QStringList{kNotFolders + PathOf("missing") + "\n" +
                                              PathOf("note.txt") + "\nsftp://host/x"});
    EXPECT_EQ(dialogs.calls.front().title, form->ApplicationTitle());

    // Nothing left to add: the message, and no preview pass.
    dialogs.calls.clear();
    Selector()->setCurrentIndex(kAddToEnd);
    form->AddFromOutside({{PathOf("missing")}, {}, true});
    EXPECT_EQ(dialogs.Messages(), QStringList{kNotFolders + PathOf("missing")});
    EXPECT_TRUE(dialogs.Prompts().isEmpty());
    EXPECT_EQ(form->AddsInFlight(), 0);
}

// Two folders and a file dragged from a file manager: the folders are added (by the check box,
// here unticked), the file and a web address are named in one message.
TEST_F(OutsideAddTest, DropOfFoldersAndAFile) {
    MakeFolder("A/A1");
    MakeFolder("B");
    MakeFile("f.txt");
    Open();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(PathOf("A")), QUrl::fromLocalFile(PathOf("f.txt")),
                  QUrl::fromLocalFile(PathOf("B") + "/"), QUrl("https://example.com/c")});
    QWidget* viewport = List()->viewport();
    const QPoint at = viewport->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(viewport, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);  // never a move: the source stays
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(viewport, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);

    ASSERT_TRUE(WaitUntil([&] { return form->List().Count() == 2 && form->AddsInFlight() == 0; }));
    EXPECT_EQ(Currents(), QStringList({PathOf("A/"), PathOf("B/")}));
    EXPECT_EQ(dialogs.Messages(),
              QStringList{kNotFolders + "https://example.com/c\n" + PathOf("f.txt")});

    // A drag of plain text is refused.
    QMimeData text;
    text.setText("A");
    QDragEnterEvent refused(at, Qt::CopyAction, &text, Qt::LeftButton, {});
    QCoreApplication::sendEvent(viewport, &refused);
    EXPECT_FALSE(refused.isAccepted());
}

// A drop while Start Renaming runs waits for the run's end and lists its folders where the
// run's renames took them, after the run's rows.
TEST_F(OutsideAddTest, DropDuringARunFollowsItsRenames) {
    MakeFolder("B/B1");
    Open();
    Subfolders()->setChecked(true);
    Selector()->setCurrentIndex(kAddToEnd);
    dialogs.promptAnswers = {"_x", "_y"};
    Add(PathOf("B"));
    ASSERT_EQ(NewPaths(), QStringList({PathOf("B/B1_x/"), PathOf("B_x/")}));
    std::atomic<bool> handed{false};
    RenamePlatform platform = DefaultRenamePlatform();
    platform.renameNoReplace = [&, rename = platform.renameNoReplace](const QString& from,
                                                                      const QString& to) {
        if (!handed.exchange(true)) {  // on the run's worker, before its first rename
            QMetaObject::invokeMethod(
                form.get(),
                [&] {
                    form->AddFromOutside({{PathOf("B")}, {}, std::nullopt});
                },
                Qt::BlockingQueuedConnection);
        }
        return rename(from, to);
    };
    form->SetRenamePlatform(platform);
    RunStartRenaming();
    ASSERT_TRUE(WaitUntil([&] { return form->List().Count() == 4 && form->AddsInFlight() == 0; }));
    EXPECT_EQ(Currents(), QStringList({PathOf("B_x/B1_x/"), PathOf("B_x/"), PathOf("B_x/B1_x/"),
                                       PathOf("B_x/")}));
    EXPECT_FALSE(dialogs.Messages().join("").contains(kNotFolders));
}

// A hand-over while a dialog is open waits until it closes: nothing changes under a question.
TEST_F(OutsideAddTest, WaitsWhileADialogIsOpen) {
    MakeFolder("A");
    Open();
    QDialog question(form.get());
    question.setModal(true);
    question.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&question));
    ASSERT_EQ(QApplication::activeModalWidget(), &question);
    form->AddFromOutside({{PathOf("A")}, {}, false});
    QTest::qWait(300);  // several of the waiting add's looks at the dialog
    EXPECT_EQ(form->OutsideAddsWaiting(), 1);
    EXPECT_EQ(form->List().Count(), 0);
    question.close();
    ASSERT_TRUE(WaitUntil([&] { return form->List().Count() == 1 && form->AddsInFlight() == 0; }));
    EXPECT_EQ(Currents(), QStringList{PathOf("A/")});
}

// ---- one window per display ------------------------------------------------------------

TEST(DisplayKeyTest, OneKeyPerDisplayNotPerScreen) {
    const auto key = [](const char* platform, const char* display, const char* wayland) {
        return DisplayKey(QString::fromLatin1(platform), [=](const char* name) {
            return QString::fromLatin1(QByteArray(name) == "DISPLAY" ? display : wayland);
        });
    };
    EXPECT_EQ(key("xcb", ":0", ""), "x11-_0");
    EXPECT_EQ(key("xcb", ":0.1", ""), key("xcb", ":0", ""));
    EXPECT_NE(key("xcb", ":1", ""), key("xcb", ":0", ""));
    EXPECT_EQ(key("xcb", "host/unix:10.0", ""), "x11-host_unix_10");
    EXPECT_EQ(key("wayland", ":0", "/run/user/1/wayland-1"), "wayland-wayland-1");
    EXPECT_NE(key("wayland", ":0", "wayland-0"), key("xcb", ":0", "wayland-0"));
    EXPECT_EQ(key("offscreen", ":0", ""), "");  // no display: every start alone
}

TEST(HandOverTest, DecodingRefusesWhatIsNoHandOver) {
    const HandOver sent{{true, {"/a b", "/c"}}, "id_TIME7", "token"};
    const QByteArray bytes = EncodeHandOver(sent);
    qsizetype used = 0;
    bool malformed = false;
    for (qsizetype cut = 0; cut < bytes.size(); ++cut) {  // arriving in pieces: wait for more
        EXPECT_FALSE(DecodeHandOver(bytes.left(cut), used, malformed)) << cut;
        EXPECT_FALSE(malformed) << cut;
    }
    const std::optional<HandOver> got = DecodeHandOver(bytes + "more", used, malformed);
    ASSERT_TRUE(got);
    EXPECT_EQ(used, bytes.size());
    EXPECT_EQ(got->request.folders, sent.request.folders);

    QByteArray wrongMagic = bytes;
    wrongMagic[0] = 'X';
    EXPECT_FALSE(DecodeHandOver(wrongMagic, used, malformed));
    EXPECT_TRUE(malformed);
    QByteArray huge = bytes.left(4) + QByteArray("\x7f\xff\xff\xff", 4);
    EXPECT_FALSE(DecodeHandOver(huge, used, malformed));
    EXPECT_TRUE(malformed);
    QByteArray garbled = bytes;
    garbled.chop(1);
    garbled[7] = static_cast<char>(garbled[7] - 1);  // a payload one byte short of its fields
    EXPECT_FALSE(DecodeHandOver(garbled, used, malformed));
    EXPECT_TRUE(malformed);
}

class SingleInstanceTest : public TempTree {};

// A second start hands its folders and both tokens to the first over the socket, even when a
// dead program left its socket behind; without a runtime folder each start is alone.
TEST_F(SingleInstanceTest, SecondStartHandsOverFoldersAndTokens) {
    MakeFolder("run");
    const QString runtime = PathOf("run");
    const auto env = [&](const char* name) {
        return QByteArray(name) == "XDG_RUNTIME_DIR" ? runtime : QString();
    };
    const QString base = InstanceBasePath(env, QStringLiteral("x11-_99"));
    ASSERT_EQ(base, runtime + "/trellisane/window-x11-_99");
    {
        QFile stale(base + ".socket");  // what a killed window leaves
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }

    SingleInstance first(base);
    ASSERT_EQ(first.Start({}, 5000), SingleInstance::Outcome::Primary);
    std::optional<HandOver> received;
    QObject::connect(&first, &SingleInstance::handedOver,
                     [&](const HandOver& handOver) { received = handOver; });

    const HandOver sent{{true, {"/home/p/Music", "/home/p/été"}}, "kde_TIME1234", "xdg-token-7"};
    std::atomic<int> outcome{-1};
    std::thread second([&] {
        SingleInstance instance(base);
        outcome = static_cast<int>(instance.Start(sent, 10000));
    });
    const bool arrived = WaitUntil([&] { return outcome.load() >= 0; });
    second.join();
    ASSERT_TRUE(arrived);
    EXPECT_EQ(outcome.load(), static_cast<int>(SingleInstance::Outcome::HandedOver));
    ASSERT_TRUE(received);
    EXPECT_EQ(received->request.folders, sent.request.folders);
    EXPECT_TRUE(received->request.subfolders);
    EXPECT_EQ(received->startupId, sent.startupId);
    EXPECT_EQ(received->activationToken, sent.activationToken);

    // Another display, another window.
    SingleInstance other(InstanceBasePath(env, QStringLiteral("x11-_98")));
    EXPECT_EQ(other.Start({}, 5000), SingleInstance::Outcome::Primary);

    // No runtime folder: no socket anywhere else, a window of its own.
    const auto none = [](const char*) { return QString(); };
    EXPECT_TRUE(InstanceBasePath(none, "x11-_99").isEmpty());
    SingleInstance alone(InstanceBasePath(none, "x11-_99"));
    EXPECT_EQ(alone.Start({}, 5000), SingleInstance::Outcome::Alone);
    const auto relative = [](const char*) { return QStringLiteral("run"); };
    EXPECT_TRUE(InstanceBasePath(relative, "x11-_99").isEmpty());
    EXPECT_TRUE(InstanceBasePath(env, "").isEmpty());
}

}  // namespace
}  // namespace trellisane::testing
