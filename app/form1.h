#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/form1_layout.h"
#include "app/pointer_feedback.h"
#include "app/startup.h"
#include "folders/folder_list.h"
#include "folders/subfolder_walk.h"
#include "rename/start_renaming.h"

class QMenu;

namespace trellisane {

class Dialogs;
class FolderListModel;
class RenameRunJob;
class RowPlanner;
class UndoLastRenaming;

/// Gathers every folder below the entries of `folders` into it (the sub-folder walk). Runs on
/// a worker thread; must honour `hooks.cancelled` and may call `hooks.report`.
using WalkFn = std::function<void(QStringList& folders, const WalkHooks& hooks)>;

/// Folders that come to the window from outside it: the command line, a second start, a drop.
struct OutsideAdd {
    /// Absolute paths, each its own batch in this order; a text that is no folder is named in
    /// the one message.
    QStringList folders;
    /// Texts already known to be no folders (a dropped web address), named in that message.
    QStringList notFolders;
    /// With the folders beneath (true also ticks the check box), without, or, when empty, as
    /// the check box says.
    std::optional<bool> subfolders;
};

/// How long closing the window waits for background work to notice its cancel before the
/// program leaves without it (a walk stuck on a dead network mount must not hold the exit).
inline constexpr int kWorkerExitWaitMs = 2000;

/// How many failed rows of one Start Renaming run get an error report of their own; the rest
/// are counted in one message at the run's end (their rows show why).
inline constexpr qsizetype kReportsPerRun = 10;

/// The main window: the folder list, the operation selector, the sub-folder option and the
/// five buttons, with every handler. It only wires: the layout comes from BuildForm1Layout,
/// the pointer rules from PointerFeedback, background work from BackgroundJob, and each
/// handler calls the core. Everything runs on the user-interface thread except the sub-folder
/// walk and the sort of an add, which run as one BackgroundJob per add, and the renames of
/// Start Renaming, which run as one RenameRunJob per run.
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
    /// The listed folders.
    FolderList& List() { return m_list; }
    const FolderList& List() const { return m_list; }
    /// The title of every message box and prompt but the error report.
    const QString& ApplicationTitle() const { return m_title; }
    /// True while a preview pass runs (or start-up holds it off).
    bool PreviewBusy() const { return m_previewBusy; }
    /// Adds that have started and not yet appended their batch.
    int AddsInFlight() const { return static_cast<int>(m_adds.size()); }
    /// Adds whose batch is ready but waits for a Start Renaming run to end.
    int BatchesWaitingForRun() const { return static_cast<int>(m_waitingForRun.size()); }
    /// True while a Start Renaming run renames on its worker.
    bool RenamingUnderway() const { return m_renaming != nullptr; }
    /// Adds folders from outside the window as "Add Folder/s" adds the chosen one, reporting
    /// with its location and lines: the texts that are no folders in one message, then each
    /// folder (with those beneath it as `add.subfolders` says) as its own batch in depth order,
    /// then one preview pass; no pass when nothing is left to add. While a dialog is open it
    /// waits for it to close; during a run it waits for the run's end and then adds its folders
    /// where the run's renames took them.
    void AddFromOutside(OutsideAdd add);
    /// Outside adds waiting for a dialog to close.
    int OutsideAddsWaiting() const { return static_cast<int>(m_outsideWaiting.size()); }
    /// Replaces the disk operations Start Renaming uses (DefaultRenamePlatform()); for tests.
    void SetRenamePlatform(RenamePlatform platform) { m_renamePlatform = std::move(platform); }

  protected:
    /// The list's double-click and Delete key.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    struct AddJob;

    /// Lays the window out and wires the controls to their handlers and pointer rules.
    void BuildControls();
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
    /// "Undo Last Renaming" (Ctrl+Z, the list's context menu): puts the last run's folders
    /// back, the rows as they were before it, and enables Start Renaming; reports the folders
    /// that could not be put back in one message. Nothing while an add or a run is under way.
    void UndoLastRenaming_Click();
    /// Disables "Undo Last Renaming" while an add or a run is under way (it would do nothing
    /// then) and enables it again after, when there is a run to undo. Called whenever either
    /// starts or ends.
    void BlockUndoWhileBusy();

    /// Makes the plan marks' planner and the list menu's "Remove Rows That Cannot Be Renamed".
    void BuildPlanMarks();
    /// "Remove Rows That Cannot Be Renamed": unless the pointer is busy, removes every row the
    /// current plan says would not be renamed (nothing without one), runs no preview pass and
    /// plans the rows that stay.
    void RemoveRowsThatCannotBeRenamed();
    /// Removes the selected row unless the pointer is busy, the list is empty or no row is
    /// selected. No preview pass.
    void RemoveSelectedRow();
    /// Starts the outside adds that waited, unless a dialog is still open.
    void StartWaitingOutsideAdds();
    /// Starts the background job of an add whose gathering lists are ready.
    void StartAddWorker(const std::shared_ptr<AddJob>& job, bool recursive);
    /// Ends an add on the user-interface thread once its work has returned.
    void FinishAdd(const std::shared_ptr<AddJob>& job);
    /// Cancels every background job of the window (each is a direct child), answers their
    /// pending questions as cancelled and waits for them for at most kWorkerExitWaitMs in all;
    /// the batches of adds under way are dropped.
    void StopAdds();
    /// Ends a Start Renaming run once its worker has returned: the rows adopted in one change,
    /// the reports and messages of its end unless `closing`, the busy state lifted, and the
    /// batches that waited for it appended.
    void FinishStartRenaming(bool closing);
    /// After a run that made `moves`: every add under way, and every outside add held for the
    /// run, carries its paths through them; once no run is left the batches that waited are
    /// appended and the held outside adds start.
    void AddsFollowRun(const std::vector<PathMove>& moves);
    /// Closing during a run: stops it after the current folder and waits for that (at most
    /// kWorkerExitWaitMs), so the rows and the undo tell where every folder is.
    void StopRenaming();

    Dialogs& m_dialogs;
    QString m_programFolder;
    DrawFn m_draw;
    WalkFn m_walk;

    FolderList m_list;
    std::unique_ptr<FolderListModel> m_model;  // after m_list: goes first
    QString m_title;
    bool m_previewBusy = false;
    PointerFeedback* m_pointers = nullptr;  // a child of the window
    QMenu* m_listMenu = nullptr;            // the list's context menu, a child of the list
    UndoLastRenaming* m_undo = nullptr;     // a child of the window
    RowPlanner* m_planner = nullptr;        // a child of the window

    std::vector<std::shared_ptr<AddJob>> m_adds;
    std::vector<std::shared_ptr<AddJob>> m_waitingForRun;
    std::vector<OutsideAdd> m_outsideWaiting;  // outside adds held while a dialog is open
    int m_renamingRuns = 0;
    RenameRunJob* m_renaming = nullptr;  // the run under way, a child of the window
    RenamePlatform m_renamePlatform = DefaultRenamePlatform();
    int m_pointerBeforeRun = kPointerDefault;
    std::shared_ptr<qsizetype> m_reportsThisRun;  // failure reports of the run under way
};

/// The application icon compiled into the program.
QIcon ApplicationIcon();

}  // namespace trellisane
