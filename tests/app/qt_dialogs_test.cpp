// The real Qt dialogs: each test answers the modal window as a person would and checks what
// it showed. OpenUrl is never called here: tests do not start a browser.

#include "app/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/form1.h"
#include "shell/product.h"

namespace trellisane {
namespace {

/// Calls `answer` with the modal window once it is up, from inside its own event loop.
void WhenModal(std::function<void(QWidget*)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        answer(modal);
    });
    timer->start();
}

/// What a real message box showed when it came up.
struct SeenBox {
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::Warning;  // not the expected NoIcon until read
    QMessageBox::StandardButtons buttons;
    QWidget* parent = nullptr;

    void Read(QMessageBox* box) {
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        buttons = box->standardButtons();
        parent = box->parentWidget();
    }
};

struct MessageRow {
    const char* name;
    DialogIcon icon;
    DialogButtons buttons;
    QMessageBox::Icon qtIcon;
    QMessageBox::StandardButtons qtButtons;
    std::function<void(QMessageBox*)> press;
    DialogAnswer answer;
};

class QtMessageTest : public ::testing::TestWithParam<MessageRow> {};

TEST_P(QtMessageTest, ShowsTextTitleIconAndButtons) {
    const MessageRow& row = GetParam();
    SeenBox seen;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        seen.Read(box);
        row.press(box);
    });
    QtDialogs dialogs;
    const DialogAnswer answer =
        dialogs.ShowMessage("Line one\r\nat line 102", "Trellisane", row.icon, row.buttons);
    EXPECT_EQ(seen.text, "Line one\r\nat line 102");
    EXPECT_EQ(seen.title, "Trellisane");
    EXPECT_EQ(seen.icon, row.qtIcon);
    EXPECT_EQ(seen.buttons, row.qtButtons);
    EXPECT_EQ(answer, row.answer);
}

INSTANTIATE_TEST_SUITE_P(
    QtDialogs, QtMessageTest,
    ::testing::Values(MessageRow{"ErrorReport", DialogIcon::Exclamation, DialogButtons::Ok,
                                 QMessageBox::Warning, QMessageBox::Ok,
                                 [](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); },
                                 DialogAnswer::Ok},
                      MessageRow{"PlainOk", DialogIcon::None, DialogButtons::Ok,
                                 QMessageBox::NoIcon, QMessageBox::Ok,
                                 [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); },
                                 DialogAnswer::Ok},
                      MessageRow{"Yes", DialogIcon::None, DialogButtons::YesNo, QMessageBox::NoIcon,
                                 QMessageBox::Yes | QMessageBox::No,
                                 [](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); },
                                 DialogAnswer::Yes},
                      MessageRow{"No", DialogIcon::Question, DialogButtons::YesNo,
                                 QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                                 [](QMessageBox* box) { box->button(QMessageBox::No)->click(); },
                                 DialogAnswer::No},
                      // Escape closes a Yes/No box without an answer: that is No.
                      MessageRow{"EscapeIsNo", DialogIcon::None, DialogButtons::YesNo,
                                 QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No,
                                 [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); },
                                 DialogAnswer::No}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QtDialogsPrompt, ReturnsWhatWasTypedUnchanged) {
    QString label, title, initial;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QInputDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        label = dialog->labelText();
        title = dialog->windowTitle();
        auto* field = dialog->findChild<QLineEdit*>();
        ASSERT_NE(field, nullptr);
        initial = field->text();
        QTest::keyClicks(field, " two words ");
        QTest::keyClick(field, Qt::Key_Return);
    });
    QtDialogs dialogs;
    EXPECT_EQ(dialogs.Prompt("Enter text to add: ", "Trellisane"), " two words ");
    EXPECT_EQ(label, "Enter text to add: ");
    EXPECT_EQ(title, "Trellisane");
    EXPECT_EQ(initial, "");
}

TEST(QtDialogsPrompt, CancelGivesEmptyText) {
    WhenModal([](QWidget* modal) {
        auto* field = modal->findChild<QLineEdit*>();
        ASSERT_NE(field, nullptr);
        QTest::keyClicks(field, "typed");
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    QtDialogs dialogs;
    EXPECT_EQ(dialogs.Prompt("Find What:", "Trellisane"), "");
}

TEST(QtDialogsBrowse, OpensAtTheInitialFolderAndOffersOnlyFolders) {
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath("start/inner"));
    const QString start = root.path() + "/start";
    QString title, opened;
    bool foldersOnly = false;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        opened = dialog->directory().absolutePath();
        foldersOnly = dialog->fileMode() == QFileDialog::Directory &&
                      dialog->testOption(QFileDialog::ShowDirsOnly);
        QMetaObject::invokeMethod(dialog, "accept");  // nothing typed: the folder shown is chosen
    });
    QtDialogs dialogs;
    EXPECT_EQ(dialogs.BrowseFolder("Please select folder:", start), start);
    EXPECT_EQ(title, "Please select folder:");
    EXPECT_EQ(opened, start);
    EXPECT_TRUE(foldersOnly);
}

TEST(QtDialogsBrowse, CancelGivesEmptyTextAndABadStartFolderIsIgnored) {
    QString opened;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        opened = dialog->directory().absolutePath();
        dialog->reject();
    });
    QtDialogs dialogs;
    EXPECT_EQ(dialogs.BrowseFolder("Please select folder:", "/no/such/folder"), "");
    EXPECT_EQ(opened, QDir::homePath());
}

TEST(QtDialogsBrowse, WithoutAStartFolderOpensAtHomeNotTheWorkingFolder) {
    QTemporaryDir working;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(working.path()));
    QString opened;
    WhenModal([&](QWidget* modal) {
        opened = qobject_cast<QFileDialog*>(modal)->directory().absolutePath();
        QMetaObject::invokeMethod(modal, "accept");
    });
    QtDialogs dialogs;
    EXPECT_EQ(dialogs.BrowseFolder("Please select folder:", ""), QDir::homePath());
    EXPECT_EQ(opened, QDir::homePath());
    QDir::setCurrent(before);
}

/// What is typed into the real dialog's "Directory:" field, key by key, before Enter. The dialog
/// opens at "rv/b"; its sibling "rv/big" shares the prefix "b", which Qt's completion passes.
struct TypedRow {
    const char* name;
    const char* typed;  // appended to the temporary root and "/" when `absolute`
    bool absolute;
    bool popupOpen;        // the completion popup is known to be up when Enter is pressed
    const char* expected;  // the folder chosen, relative to the root; "" for nothing at all
};

class QtBrowseTypedTest : public ::testing::TestWithParam<TypedRow> {};

TEST_P(QtBrowseTypedTest, ChoosesTheFolderTypedAndNothingElse) {
    const TypedRow& row = GetParam();
    QTemporaryDir root;
    for (const char* folder : {"rv/b/one", "rv/b/two", "rv/big/inner"}) {
        ASSERT_TRUE(QDir(root.path()).mkpath(folder));
    }
    bool popupOpen = false;
    bool stayedOpen = false;
    WhenModal([&](QWidget* modal) {
        auto* field = modal->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(field, nullptr);
        field->setFocus();
        const QString typed = (row.absolute ? root.path() + "/" : QString()) + row.typed;
        QTest::keyClicks(field, typed, Qt::NoModifier, 5);
        // The completion model is filled in the background; give it time (a hang guard).
        const auto popupUp = [field] {
            return field->completer() != nullptr && field->completer()->popup()->isVisible();
        };
        if (row.popupOpen) {
            static_cast<void>(QTest::qWaitFor(popupUp, 10000));  // checked below
        } else {
            QTest::qWait(200);
        }
        popupOpen = popupUp();
        QTest::keyClick(field, Qt::Key_Return);
        QTest::qWait(50);
        stayedOpen = modal->isVisible();
        if (stayedOpen) QMetaObject::invokeMethod(modal, "reject");
    });
    QtDialogs dialogs;
    const QString chosen = dialogs.BrowseFolder("Please select folder:", root.path() + "/rv/b");
    EXPECT_EQ(chosen, *row.expected ? root.path() + "/" + row.expected : QString());
    if (row.popupOpen) {
        EXPECT_TRUE(popupOpen);
    }
    EXPECT_EQ(stayedOpen, !*row.expected);  // a text naming no folder keeps the dialog up
}

INSTANTIATE_TEST_SUITE_P(
    QtDialogs, QtBrowseTypedTest,
    ::testing::Values(TypedRow{"FullPathSharingAPrefix", "rv/big", true, true, "rv/big"},
                      TypedRow{"FullPathWithTrailingSlash", "rv/big/", true, true, "rv/big"},
                      TypedRow{"FullPathOfTheShownFolder", "rv/b", true, true, "rv/b"},
                      TypedRow{"RelativeToTheShownFolder", "../big/inner", false, false,
                               "rv/big/inner"},
                      TypedRow{"NameOfAFolderShown", "one", false, true, "rv/b/one"},
                      TypedRow{"NoSuchFolder", "rv/bigger", true, false, ""},
                      TypedRow{"NoSuchFolderInTheShownOne", "three", false, false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QtDialogsBrowse, ChoosesTheFolderPickedInTheList) {
    QTemporaryDir root;
    for (const char* folder : {"start/alpha", "start/beta"}) {
        ASSERT_TRUE(QDir(root.path()).mkpath(folder));
    }
    WhenModal([&](QWidget* modal) {
        auto* list = modal->findChild<QAbstractItemView*>("treeView");  // the detail view
        ASSERT_NE(list, nullptr);
        // The folder's listing is read in the background.
        ASSERT_TRUE(QTest::qWaitFor(
            [list] { return list->model()->rowCount(list->rootIndex()) == 2; }, 10000));
        list->setFocus();
        QTest::keyClicks(list, "be");  // keyboard search picks "beta"
        QTest::keyClick(modal, Qt::Key_Return);
    });
    QtDialogs dialogs;
    EXPECT_EQ(dialogs.BrowseFolder("Please select folder:", root.path() + "/start"),
              root.path() + "/start/beta");
}

TEST(QtDialogsBrowse, LeavesNothingInTheSettingsFolder) {
    // Qt's file dialog would keep its history in QtProject.conf; nothing may survive a run.
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QFile::remove(config + "/QtProject.conf");
    WhenModal([](QWidget* modal) { QMetaObject::invokeMethod(modal, "reject"); });
    QtDialogs dialogs;
    EXPECT_EQ(dialogs.BrowseFolder("Please select folder:", QDir::tempPath()), "");
    EXPECT_FALSE(QFile::exists(config + "/QtProject.conf"));
    // The program's own settings are read from the usual place again afterwards.
    QSettings(QSettings::UserScope, "Quorvane", "Trellisane").setValue("Probe", "1");
    EXPECT_TRUE(QFile::exists(config + "/Quorvane/Trellisane.conf"));
    QFile::remove(config + "/Quorvane/Trellisane.conf");
}

TEST(QtDialogsWindow, HelpShowsARealMessageBox) {
    QTemporaryDir programFolder;
    QtDialogs dialogs;
    Form1 window(dialogs, programFolder.path(), [] { return 1; });
    dialogs.SetOwner(&window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    SeenBox seen;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        seen.Read(box);
        box->button(QMessageBox::Ok)->click();
    });
    QTest::mouseClick(window.findChild<QPushButton*>("PushButton6"), Qt::LeftButton);
    EXPECT_EQ(seen.text,
              "Questions? Please contact Team Quorvane at " + QString::fromLatin1(kContactPageUrl));
    EXPECT_EQ(seen.title, "Trellisane");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
    EXPECT_EQ(seen.parent, &window);
}

}  // namespace
}  // namespace trellisane
