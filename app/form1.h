#pragma once

#include <QIcon>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <utility>

#include "app/form1_layout.h"
#include "app/pointer_feedback.h"
#include "app/startup.h"
#include "control/rename_controller.h"

class QMenu;
class QProgressDialog;

namespace trellisane {

class Dialogs;
class FolderListModel;
class HistoryKeeper;
class RowPlanner;
class UndoLastRenaming;

/// How long closing the window waits for background work to notice its cancel before the
/// program leaves without it (a walk stuck on a dead network mount must not hold the exit).
inline constexpr int kWorkerExitWaitMs = 2000;

/// The main window: the folder list, the operation selector, the sub-folder option and the
/// five buttons, with every handler. It only wires: the layout comes from BuildForm1Layout,
/// the pointer rules from PointerFeedback, and each handler calls the RenameController, which
/// holds the list, the adds, the run, the undo record and the one busy state, and tells the
/// window by signals what to show (the busy pointer, Start Renaming enabled, the undo's
/// action). The window keeps what is a widget's: the prompts' texts, the selector, the check
/// box, the progress of a run (RenameRunJob) and the plan marks (RowPlanner).
///
/// The controls keep their design names, as members (from Form1Controls) and as object names,
/// so tests and the error reports' locations line up with them.
class Form1 : public QWidget, private Form1Controls {
    Q_OBJECT

  public:
    /// Builds the window and runs Form_Load; it is then ready to show. `dialogs` (which must
    /// outlive the window) asks and tells everything; `programFolder` (without a trailing
    /// separator) holds the optional skin, pointer and samples; `draw` gives 1 to 100 for the
    /// home-page draw; `walk` replaces the sub-folder walk (empty: GetSubDirectories2016).
    Form1(Dialogs& dialogs, QString programFolder, DrawFn draw, WalkFn walk = {},
          QWidget* parent = nullptr);
    /// Stops any add still walking, as closing does.
    ~Form1() override;

    /// The window-wide pointer value: 0, 11 or 99.
    int Pointer() const { return m_pointers->Pointer(); }
    /// The core the handlers call.
    RenameController& Core() { return *m_core; }
    /// The listed folders.
    FolderList& List() { return m_core->List(); }
    const FolderList& List() const { return m_core->List(); }
    /// The title of every message box and prompt but the error report.
    const QString& ApplicationTitle() const { return m_core->Title(); }
    /// True while a preview pass runs (or start-up or a run holds it off).
    bool PreviewBusy() const { return m_core->PreviewBusy(); }
    /// Adds that have started and not yet appended their batch.
    int AddsInFlight() const { return m_core->AddsInFlight(); }
    /// Adds whose batch is ready but waits for a Start Renaming run to end.
    int BatchesWaitingForRun() const { return m_core->BatchesWaitingForRun(); }
    /// True while a Start Renaming run renames on its worker.
    bool RenamingUnderway() const { return m_core->State() == Busy::Renaming; }
    /// Adds folders from outside the window as "Add Folder/s" adds the chosen one
    /// (RenameController::AddFromOutside); `add.subfolders` true also ticks the check box.
    void AddFromOutside(OutsideAdd add) { m_core->AddFromOutside(std::move(add)); }
    /// Outside adds waiting for a dialog to close or a run to end.
    int OutsideAddsWaiting() const { return m_core->OutsideAddsWaiting(); }
    /// Replaces the disk that Start Renaming, the undo and the plan marks go through
    /// (DefaultRenamePlatform()); for tests.
    void SetRenamePlatform(const RenamePlatform& platform);

  protected:
    /// The list's double-click and Delete key.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    /// The first time the window shows: the offer to undo a run cut short, once start-up is
    /// over (RenameController::OfferUndoOfRunCutShort).
    void showEvent(QShowEvent* event) override;

  private:
    /// Lays the window out and wires the controls and the controller to their handlers and
    /// pointer rules.
    void BuildControls();
    /// Tells the controller what it asks of the window (ControllerHooks) and follows its
    /// signals.
    void WireController();
    void Form_Load();

    void PreviewRename();
    void Combo1_Click();
    void Check1_Click();
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton3_Click();
    void PushButton4_Click();
    void PushButton6_Click();
    void ListView1_DblClick();
    void ListView1_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    /// "Undo Last Renaming" (Ctrl+Z, the list's context menu): RenameController::Undo.
    void UndoLastRenaming_Click();
    /// "History..." (Ctrl+H, the list's context menu): the runs of the history (HistoryDialog);
    /// its Undo goes through RenameController::UndoRun.
    void History_Click();
    /// Keeps every run in the person's history and shows an undo's progress with its Cancel.
    void BuildHistory();

    /// Makes the plan marks' planner and the list menu's "Remove Rows That Cannot Be Renamed".
    void BuildPlanMarks();
    /// "Remove Rows That Cannot Be Renamed": unless the pointer is busy, removes every row the
    /// current plan says would not be renamed (nothing without one), runs no preview pass and
    /// plans the rows that stay.
    void RemoveRowsThatCannotBeRenamed();
    /// Removes the selected row unless the pointer is busy, the list is empty or no row is
    /// selected. No preview pass.
    void RemoveSelectedRow();
    /// Closing: a run stops after its current folder; every background job of the window and
    /// the controller is cancelled and waited for at most kWorkerExitWaitMs in all; the
    /// batches of adds under way are dropped.
    void StopWork();

    Dialogs& m_dialogs;
    QString m_programFolder;
    DrawFn m_draw;

    RenameController* m_core;                  // a child of the window, made first
    std::unique_ptr<FolderListModel> m_model;  // after m_core: goes first
    PointerFeedback* m_pointers = nullptr;     // a child of the window
    QMenu* m_listMenu = nullptr;               // the list's context menu, a child of the list
    UndoLastRenaming* m_undo = nullptr;        // a child of the window
    RowPlanner* m_planner = nullptr;           // a child of the window
    HistoryKeeper* m_history = nullptr;        // a child of the window
    QPointer<QProgressDialog> m_undoProgress;  // while an undo of the history goes
    bool m_shown = false;
    int m_pointerBeforeBusy = kPointerDefault;  // given back when the busy pointer goes
};

/// The application icon compiled into the program.
QIcon ApplicationIcon();

}  // namespace trellisane
