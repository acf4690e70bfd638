// The main window: its start-up state and layout, the selector, Help, Start Renaming, the
// home-page draw, the skin and the pointer.

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QUrl>
#include <set>

#include "app/handler_lines.h"
#include "app/skin.h"
#include "rename/rename_run.h"
#include "shell/product.h"
#include "tests/app/window_fixture.h"

namespace trellisane::testing {
namespace {

using Kind = DialogCall::Kind;

const QStringList kSelectorEntries = {
    "Change case of folder(s) to UPPER CASE",
    "Change case of folder(s) to lower case",
    "Change case of folder(s) to Proper Case",
    "Change case of folder(s) to Sentence case",
    "-",
    "Add x to beginning of each in folder(s)",
    "Add x to end of each in folder(s)",
    "Add x before every y character(s) in folder(s)",
    "Add x after every y character(s) in folder(s)",
    "-",
    "Remove all spaces in folder(s)",
    "Remove all blank lines (enters) in folder(s)",
    "-",
    "Remove alphabet character(s) in folder(s)",
    "Remove numeric character(s) in folder(s)",
    "Remove alphanumeric character(s) in folder(s)",
    "Remove non-alphanumeric character(s) in folder(s)",
    "Remove x (user-specified) in folder(s)",
    "-",
    "Find and replace x (user-specified) character(s) in folder(s)",
};
constexpr int kAddToEnd = 6;
constexpr int kFirstSeparator = 4;

QStringList Entries(const QComboBox& combo) {
    QStringList entries;
    for (int i = 0; i < combo.count(); ++i) entries << combo.itemText(i);
    return entries;
}

TEST_F(WindowTest, StartsReadyWithoutAskingAnything) {
    Open();
    EXPECT_EQ(Entries(*Selector()), kSelectorEntries);
    EXPECT_EQ(Selector()->currentIndex(), 0);
    EXPECT_FALSE(Selector()->isEditable());
    EXPECT_TRUE(dialogs.calls.empty());
    EXPECT_EQ(form->List().Count(), 0);
    QAbstractItemModel* model = List()->model();
    ASSERT_EQ(model->columnCount(), 2);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Name Of Folder - Current");
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Name Of Folder - New Name");
    EXPECT_EQ(List()->horizontalHeader()->sectionSize(0), 333);
    EXPECT_EQ(List()->horizontalHeader()->sectionSize(1), 333);
    EXPECT_EQ(List()->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(List()->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(List()->toolTip(),
              "Double-click item to remove it. Move | line to right and out of window to "
              "reveal full names.");
    for (const char* name :
         {"PushButton1", "PushButton2", "PushButton3", "PushButton4", "PushButton6"}) {
        EXPECT_TRUE(Button(name)->isEnabled()) << name;
    }
    EXPECT_FALSE(Subfolders()->isChecked());
    EXPECT_EQ(form->windowTitle(), "Trellisane");
    EXPECT_EQ(form->ApplicationTitle(), "Trellisane");
    if (QFile::exists(TRELLISANE_SOURCE_DIR "/data/icons/trellisane.png")) {
        EXPECT_FALSE(form->windowIcon().isNull());  // compiled into the program
    }
    EXPECT_FALSE(form->PreviewBusy());
    EXPECT_EQ(form->Pointer(), kPointerDefault);
}

TEST_F(WindowTest, HasAFixedSizeWithoutMaximizeButton) {
    Open();
    EXPECT_EQ(form->size(), QSize(696, 343));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowCloseButtonHint);
}

struct ControlRow {
    const char* name;
    QRect geometry;  // in pixels, relative to the container
    const char* caption;
    qreal points;
};

class ControlLayoutTest : public WindowTest, public ::testing::WithParamInterface<ControlRow> {};

TEST_P(ControlLayoutTest, StandsAtItsDesignPlace) {
    Open();
    const ControlRow& row = GetParam();
    QWidget* control = Find<QWidget>(row.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->geometry().topLeft(), row.geometry.topLeft());
    EXPECT_EQ(control->height(), row.geometry.height());
    if (QString::fromLatin1(row.name) == "Check1") {
        // Grows to the right when its caption needs more room than its design width.
        EXPECT_GE(control->width(), row.geometry.width());
    } else {
        EXPECT_EQ(control->width(), row.geometry.width());
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        EXPECT_EQ(button->text(), row.caption);
    } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
        EXPECT_EQ(frame->title(), row.caption);
    }
    EXPECT_TRUE(control->font().bold());
    EXPECT_DOUBLE_EQ(control->font().pointSizeF(), row.points);
    EXPECT_EQ(control->font().families().value(0), "Arial");
    EXPECT_EQ(control->font().families().value(1), "Liberation Sans");
}

INSTANTIATE_TEST_SUITE_P(
    Window, ControlLayoutTest,
    ::testing::Values(ControlRow{"ListView1", {8, 8, 680, 121}, "", 9},
                      ControlRow{"PushButton3", {8, 136, 336, 27}, "Add Folder/s", 11.25},
                      ControlRow{"PushButton2", {8, 308, 680, 27}, "Start Renaming", 11.25},
                      ControlRow{"Frame1", {8, 249, 680, 51}, "Options", 9},
                      ControlRow{"Combo1", {16, 18, 649, 23}, "", 9},  // inside Frame1
                      ControlRow{"Frame2", {8, 202, 681, 43}, "Add Folder Option", 9},
                      ControlRow{"Check1",
                                 {16, 18, 217, 17},  // inside Frame2
                                 "Add subfolders when adding folder",
                                 9},
                      ControlRow{"PushButton1", {352, 136, 336, 27}, "Clear List", 11.25},
                      ControlRow{
                          "PushButton4", {352, 170, 336, 27}, "Load Sample/Example Folders", 11.25},
                      ControlRow{"PushButton6", {8, 170, 336, 27}, "Help", 11.25}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(WindowTest, TabsThroughTheControlsInDesignOrder) {
    Open();
    const QStringList expected = {"ListView1", "PushButton3", "PushButton2", "Combo1",
                                  "Check1",    "PushButton1", "PushButton4", "PushButton6"};
    QStringList order;
    QWidget* widget = List();
    do {
        if (expected.contains(widget->objectName()) && !order.contains(widget->objectName())) {
            order << widget->objectName();
        }
        widget = widget->nextInFocusChain();
    } while (widget != List());
    EXPECT_EQ(order, expected);
}

TEST_F(WindowTest, HomeAndEndGoToTheFirstAndLastRow) {
    Open();
    for (const char* name : {"a", "b", "c"}) {
        MakeFolder(name);
        Add(PathOf(name));
    }
    List()->setCurrentIndex(List()->model()->index(1, 1));
    QTest::keyClick(List(), Qt::Key_End);
    EXPECT_EQ(List()->currentIndex().row(), 2);
    QTest::keyClick(List(), Qt::Key_Home);
    EXPECT_EQ(List()->currentIndex().row(), 0);
}

TEST_F(WindowTest, HelpShowsTheContactPage) {
    Open();
    Click("PushButton6");
    ASSERT_EQ(dialogs.calls.size(), 1u);
    const DialogCall& call = dialogs.calls[0];
    EXPECT_EQ(call.text,
              "Questions? Please contact Team Quorvane at " + QString::fromLatin1(kContactPageUrl));
    EXPECT_TRUE(QUrl(QString::fromLatin1(kContactPageUrl)).path().endsWith("/contact/"));
    EXPECT_EQ(call.title, "Trellisane");
    EXPECT_EQ(call.icon, DialogIcon::None);
    EXPECT_EQ(call.buttons, DialogButtons::Ok);
}

TEST_F(WindowTest, PickingAnOperationPreviewsTheListedRows) {
    Open();
    const QString a = MakeFolder("one");
    const QString b = MakeFolder("two");
    Add(PathOf("one"));
    Add(PathOf("two"));
    ASSERT_EQ(Currents(), QStringList({a, b}));
    dialogs.calls.clear();

    dialogs.promptAnswers = {"_old"};
    Pick(kAddToEnd);
    EXPECT_EQ(dialogs.Prompts(), QStringList{"Enter text to add: "});
    EXPECT_EQ(dialogs.calls.at(0).title, "Trellisane");
    EXPECT_EQ(NewPaths(), QStringList({PathOf("one_old/"), PathOf("two_old/")}));
}

TEST_F(WindowTest, PickingTheSameEntryAgainAsksAgain) {
    Open();
    Pick(kAddToEnd);
    Pick(kAddToEnd);
    EXPECT_EQ(dialogs.Prompts(), QStringList({"Enter text to add: ", "Enter text to add: "}));
}

TEST_F(WindowTest, PickingASeparatorWritesNothingButEnablesStartRenaming) {
    Open();
    MakeFolder("one");
    Add(PathOf("one"));  // previewed as UPPER CASE
    RunStartRenaming();
    ASSERT_FALSE(Button("PushButton2")->isEnabled());
    ASSERT_EQ(NewPaths(), QStringList{""});
    dialogs.calls.clear();

    Pick(kFirstSeparator);
    EXPECT_EQ(Selector()->currentText(), "-");
    EXPECT_TRUE(dialogs.calls.empty());
    EXPECT_EQ(NewPaths(), QStringList{""});
    EXPECT_TRUE(Button("PushButton2")->isEnabled());
}

TEST_F(WindowTest, StartRenamingRenamesTheListedFolders) {
    Open();
    MakeFolder("photos/summer");
    MakeFolder("photos/winter");
    Subfolders()->setChecked(true);
    Add(PathOf("photos"));
    ASSERT_EQ(Currents(),
              QStringList({PathOf("photos/summer/"), PathOf("photos/winter/"), PathOf("photos/")}));
    dialogs.calls.clear();

    RunStartRenaming();
    EXPECT_EQ(AllFolders(), QStringList({"PHOTOS", "PHOTOS/SUMMER", "PHOTOS/WINTER", "program"}));
    EXPECT_EQ(dialogs.Messages(), QStringList{"Done."});
    EXPECT_EQ(dialogs.calls.at(0).title, "Trellisane");
    EXPECT_EQ(dialogs.calls.at(0).icon, DialogIcon::None);
    EXPECT_FALSE(Button("PushButton2")->isEnabled());
    EXPECT_EQ(NewPaths(), QStringList({"", "", ""}));
    for (const QString& path : Currents()) EXPECT_TRUE(QDir(path).exists()) << path.toStdString();
}

TEST_F(WindowTest, StartRenamingWithAnEmptyListSaysSo) {
    Open();
    RunStartRenaming();
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].text, "No folders added.");
    EXPECT_EQ(dialogs.calls[0].title, "Trellisane");
    EXPECT_EQ(dialogs.calls[0].icon, DialogIcon::None);
    EXPECT_TRUE(Button("PushButton2")->isEnabled());
}

TEST_F(WindowTest, AFailedRenameShowsTheErrorReport) {
    Open();
    MakeFolder("gone");
    MakeFolder("kept");
    Add(PathOf("gone"));
    Add(PathOf("kept"));
    ASSERT_TRUE(QDir(PathOf("gone")).removeRecursively());
    dialogs.calls.clear();

    RunStartRenaming();
    ASSERT_EQ(dialogs.Messages(),
              QStringList({Report("No such file or directory: \"" + PathOf("gone") +
                                      "\" cannot be renamed to \"GONE\" (no folder is there "
                                      "any more).",
                                  "in Dorvalin2021/08/31.Form1.PushButton2_Click ", 106),
                           "Done."}));
    EXPECT_EQ(dialogs.calls[0].title, "Application Error");
    EXPECT_EQ(dialogs.calls[0].icon, DialogIcon::Exclamation);
    EXPECT_TRUE(QDir(PathOf("KEPT")).exists());  // one failure never stops the run
}

// One failure per handler, each reported with the handler's own location and line.
struct HandlerFailureRow {
    const char* name;
    const char* button;
    std::function<bool(const DialogCall&)> failingCall;  // this dialog call fails
    QString expected;
};

class HandlerFailureTest : public WindowTest,
                           public ::testing::WithParamInterface<HandlerFailureRow> {};

TEST_P(HandlerFailureTest, IsReportedWithTheHandlersLocationAndLine) {
    Open();
    const HandlerFailureRow& row = GetParam();
    dialogs.onCall = [&](const DialogCall& call) {
        if (row.failingCall(call)) throw TrappedError("The box could not be shown.");
    };
    if (QString::fromLatin1(row.button) == "PushButton1" ||
        QString::fromLatin1(row.button) == "Check1") {
        Selector()->setCurrentIndex(kAddToEnd);  // so that its preview pass asks something
    }
    if (QString::fromLatin1(row.button) == "Check1") {
        QTest::mouseClick(Subfolders(), Qt::LeftButton);
    } else {
        Click(row.button);
    }
    ASSERT_TRUE(WaitUntil([&] { return form->AddsInFlight() == 0; }));
    EXPECT_TRUE(dialogs.Messages().contains(row.expected))
        << dialogs.Messages().join("\n|").toStdString();
    EXPECT_EQ(form->Pointer(), kPointerDefault);
}

INSTANTIATE_TEST_SUITE_P(
    Window, HandlerFailureTest,
    ::testing::Values(
        HandlerFailureRow{"AddFolders", "PushButton3",
                          [](const DialogCall& call) { return call.kind == Kind::Browse; },
                          Report("The box could not be shown.",
                                 "in Dorvalin2021/08/31.Form1.PushButton3_Click ", 102)},
        // The prompt fails and so does the preview pass's own report of it, so the failure
        // reaches Clear List's trap.
        HandlerFailureRow{"ClearList", "PushButton1",
                          [](const DialogCall& call) {
                              return call.kind == Kind::Prompt ||
                                     call.text.contains("PreviewRename");
                          },
                          Report("The box could not be shown.",
                                 "in Dorvalin2021/08/31.Form1.PushButton1_Click ", 102)},
        // Ticking the box runs a preview pass; its prompt fails and the pass reports it.
        HandlerFailureRow{"PreviewPass", "Check1",
                          [](const DialogCall& call) { return call.kind == Kind::Prompt; },
                          Report("The box could not be shown.",
                                 "in Dorvalin2021/08/31.Form1.PreviewRename ", 108)},
        HandlerFailureRow{"Samples", "PushButton4",
                          [](const DialogCall&) { return false; },  // no Samples folder
                          Report("No such file or directory",
                                 "in Dorvalin2021/08/31.Form1.PushButton4_Click ", 102)},
        HandlerFailureRow{"Help", "PushButton6",
                          [](const DialogCall& call) { return call.text.startsWith("Questions?"); },
                          Report("The box could not be shown.",
                                 "in Dorvalin2021/08/31.Form1.PushButton6_Click ", 100)}),
    [](const auto& test) { return std::string(test.param.name); });

class HomePageDrawTest : public WindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(HomePageDrawTest, OnlySevenOpensTheHomePage) {
    Open(GetParam());
    const QStringList opened = dialogs.Texts(Kind::OpenUrl);
    if (GetParam() == 7) {
        EXPECT_EQ(opened, QStringList{QString::fromLatin1(kHomePageUrl)});
    } else {
        EXPECT_TRUE(opened.isEmpty());
    }
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Window, HomePageDrawTest, ::testing::Values(1, 6, 7, 8, 100));

TEST_F(WindowTest, ABrowserThatCannotStartIsReportedAndStartUpGoesOn) {
    dialogs.openUrlResult = false;
    Open(7);
    EXPECT_EQ(dialogs.Messages(),
              QStringList{Report("The web browser could not be started to open " +
                                     QString::fromLatin1(kHomePageUrl) + ".",
                                 "in Dorvalin2021/08/31.Form1.Form_Load ", 108)});
    EXPECT_EQ(Selector()->count(), 20);
    EXPECT_FALSE(form->PreviewBusy());
}

TEST_F(WindowTest, WithoutASkinFileTheWindowStaysWhite) {
    MakeFolder("program/x/o.cjs");  // a folder of that name is no skin
    Open();
    for (const char* name : {"Frame1", "Frame2", "Check1"}) {
        EXPECT_EQ(Find<QWidget>(name)->palette().color(QPalette::Window), QColor(Qt::white))
            << name;
    }
    EXPECT_EQ(form->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_TRUE(form->styleSheet().isEmpty());
}

TEST_F(WindowTest, ASkinFileTurnsTheSurfacesToButtonFaceAndIsApplied) {
    MakeFolder("program/x");
    const QByteArray sheet = "/* a skin */ QPushButton { padding: 0px; }";
    MakeFile("program/x/o.cjs", sheet);
    Open();
    const QColor buttonFace = ButtonFaceColour();
    for (const char* name : {"Frame1", "Frame2", "Check1"}) {
        EXPECT_EQ(Find<QWidget>(name)->palette().color(QPalette::Window), buttonFace) << name;
    }
    EXPECT_EQ(form->palette().color(QPalette::Window), buttonFace);
    EXPECT_EQ(form->styleSheet(), QString::fromUtf8(sheet));
    EXPECT_TRUE(dialogs.calls.empty());
}

TEST_F(WindowTest, AnUnreadableSkinIsReportedAndStartUpGoesOn) {
    MakeFolder("program/x");
    // Reading this file always fails, even for root: position 0 of a process's memory is
    // never mapped.
    ASSERT_TRUE(QFile::link("/proc/self/mem", PathOf("program/x/o.cjs")));
    Open();
    ASSERT_EQ(dialogs.Messages().size(), 1);
    EXPECT_TRUE(dialogs.Messages()[0].endsWith(
        QString::fromLatin1("in Dorvalin2021/08/31.Form1.Form_Load ") +
        "at line 100\r\rPlease email screenshot of "
        "this message to " +
        QString::fromLatin1(kSupportEmail)))
        << dialogs.Messages()[0].toStdString();
    EXPECT_EQ(Selector()->count(), 20);
    EXPECT_EQ(form->palette().color(QPalette::Window), ButtonFaceColour());
}

// Where the mouse moves decides the pointer; the busy pointer is left alone.
struct PointerRow {
    const char* control;
    int expected;
    QPoint spot = {};  // where on the control; the centre when null
};

class PointerRuleTest : public WindowTest, public ::testing::WithParamInterface<PointerRow> {};

TEST_P(PointerRuleTest, FollowsTheMouse) {
    Open();
    MoveMouse(Button("PushButton6"));  // start from the hand
    ASSERT_EQ(form->Pointer(), kPointerHand);
    const PointerRow& row = GetParam();
    QWidget* target =
        QString::fromLatin1(row.control) == "Form1" ? form.get() : Find<QWidget>(row.control);
    if (target == List()) target = List()->viewport();
    QTest::mouseMove(target, row.spot.isNull() ? target->rect().center() : row.spot);
    EXPECT_EQ(form->Pointer(), GetParam().expected);
    EXPECT_EQ(form->cursor().shape(),
              GetParam().expected == kPointerHand ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

INSTANTIATE_TEST_SUITE_P(Window, PointerRuleTest,
                         ::testing::Values(PointerRow{"Form1", kPointerDefault, {348, 150}},
                                           PointerRow{"ListView1", kPointerDefault},
                                           // Beside the selector, which has no rule of its own.
                                           PointerRow{"Frame1", kPointerDefault, {5, 45}},
                                           PointerRow{"Frame2", kPointerDefault, {600, 30}},
                                           PointerRow{"PushButton1", kPointerHand},
                                           PointerRow{"PushButton2", kPointerHand},
                                           PointerRow{"PushButton3", kPointerHand},
                                           PointerRow{"PushButton4", kPointerHand},
                                           PointerRow{"PushButton6", kPointerHand}),
                         [](const auto& test) { return std::string(test.param.control); });

TEST_F(WindowTest, TheHandFileBecomesTheButtonsPointer) {
    const QString shipped = QStringLiteral(TRELLISANE_SOURCE_DIR "/data/HAND-M.CUR");
    if (!QFile::exists(shipped)) GTEST_SKIP() << "no HAND-M.CUR in data/";
    ASSERT_TRUE(QFile::copy(shipped, PathOf("program/HAND-M.CUR")));
    Open();
    MoveMouse(Button("PushButton3"));
    EXPECT_EQ(form->Pointer(), kPointerHand);
    EXPECT_EQ(form->cursor().shape(), Qt::BitmapCursor);
    EXPECT_TRUE(dialogs.calls.empty());
}

TEST_F(WindowTest, AnUnreadableHandFileIsReportedAndTheStandardHandShows) {
    MakeFile("program/HAND-M.CUR", "not a pointer image");
    Open();
    ASSERT_EQ(dialogs.Messages().size(), 1);
    EXPECT_TRUE(dialogs.Messages()[0].contains(
        QString::fromLatin1("in Dorvalin2021/08/31.Form1.Form_Load ") + "at line 106"));
    MoveMouse(Button("PushButton3"));
    EXPECT_EQ(form->Pointer(), kPointerHand);
    EXPECT_EQ(form->cursor().shape(), Qt::PointingHandCursor);
}

}  // namespace
}  // namespace trellisane::testing
