#pragma once

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <functional>
#include <memory>
#include <ostream>

#include "app/form1.h"
#include "engine/error_report.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_tree.h"

/// Lets GoogleTest print texts (and lists of them) readably.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace trellisane::testing {

/// Runs the event loop until `done` holds; false when it has not after 30 seconds (a hang
/// guard, not a timing assertion).
inline bool WaitUntil(const std::function<bool()>& done) {
    QDeadlineTimer deadline(30000);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

/// The exact text of an application error report, as the person sees it.
inline QString Report(const QString& description, const char* location, int line) {
    return ErrorReportText(description, QString::fromLatin1(location), line);
}

/// A shown main window over scripted dialogs, in a fresh temporary folder whose "program"
/// folder stands in for the program's own folder.
class WindowTest : public TempTree {
  protected:
    void SetUp() override {
        TempTree::SetUp();
        // Each test's runs are kept in a history of its own, outside the tree it looks at.
        stateFolder = std::make_unique<QTemporaryDir>();
        qputenv("XDG_STATE_HOME", QFile::encodeName(stateFolder->path()));
        MakeFolder(QStringLiteral("program"));
        programFolder = PathOf(QStringLiteral("program"));
    }

    void TearDown() override {
        form.reset();  // joins any add still walking before the tree goes
        TempTree::TearDown();
        stateFolder.reset();
    }

    /// Waits until an undo (which goes in the background) has ended.
    void WaitForUndo() {
        ASSERT_TRUE(WaitUntil([&] { return form->Core().State() != Busy::Undoing; }));
    }

    std::unique_ptr<QTemporaryDir> stateFolder;

    /// Builds and shows the window; `draw` is the home-page draw.
    void Open(int draw = 1, WalkFn walk = {}) {
        form = std::make_unique<Form1>(
            dialogs, programFolder, [draw] { return draw; }, std::move(walk));
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    template <typename Control>
    Control* Find(const char* name) const {
        auto* control = form->findChild<Control*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    QTableView* List() const { return Find<QTableView>("ListView1"); }
    QComboBox* Selector() const { return Find<QComboBox>("Combo1"); }
    QCheckBox* Subfolders() const { return Find<QCheckBox>("Check1"); }
    QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }

    void Click(const char* button) { QTest::mouseClick(Button(button), Qt::LeftButton); }

    /// Clicks "Start Renaming" and waits until its run has ended.
    void RunStartRenaming() {
        Click("PushButton2");
        ASSERT_TRUE(WaitUntil([&] { return !form->RenamingUnderway(); }));
    }

    /// Moves the mouse onto `widget` at `at` (its centre when null). The pointer first visits
    /// a corner of the window, since a move to where it already is would not be noticed.
    void MoveMouse(QWidget* widget, QPoint at = {}) {
        QTest::mouseMove(form.get(), QPoint(1, 1));
        QTest::mouseMove(widget, at.isNull() ? widget->rect().center() : at);
    }

    /// Double-clicks the list as a person does (press, release, double-click, release), on
    /// row `row` (from 0) or, when it is -1, below the rows.
    void DoubleClickList(int row) {
        QWidget* viewport = List()->viewport();
        const QPoint at = row >= 0 ? List()->visualRect(List()->model()->index(row, 0)).center()
                                   : QPoint(4, viewport->height() - 4);
        QTest::mousePress(viewport, Qt::LeftButton, {}, at);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    }

    /// Picks selector row `index` (from 0) as a person does: opens the drop-down list and
    /// clicks the entry.
    void Pick(int index) {
        QComboBox* combo = Selector();
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
        const QRect entry = view->visualRect(combo->model()->index(index, 0));
        ASSERT_TRUE(entry.isValid()) << index;
        view->scrollTo(combo->model()->index(index, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(combo->model()->index(index, 0)).center());
        ASSERT_TRUE(WaitUntil([&] { return !view->window()->isVisible(); }));
    }

    /// Clicks "Add Folder/s" with the browse dialog answering `chosen` ("" cancels) and
    /// waits until the add has appended its batch.
    void Add(const QString& chosen) {
        dialogs.browseAnswers.push_back(chosen);
        Click("PushButton3");
        ASSERT_TRUE(WaitUntil([&] { return form->AddsInFlight() == 0; }));
    }

    /// The current paths of the listed rows, first to last.
    QStringList Currents() const {
        QStringList paths;
        for (const FolderRow& row : form->List().Rows()) paths << row.current;
        return paths;
    }

    /// The new paths of the listed rows, first to last.
    QStringList NewPaths() const {
        QStringList paths;
        for (const FolderRow& row : form->List().Rows()) paths << row.newPath;
        return paths;
    }

    ScriptedDialogs dialogs;
    QString programFolder;
    std::unique_ptr<Form1> form;
};

}  // namespace trellisane::testing
