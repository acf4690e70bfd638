#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "control/run_job.h"
#include "engine/error_report.h"
#include "engine/preview.h"
#include "folders/folder_list.h"
#include "folders/subfolder_walk.h"
#include "rename/journal.h"
#include "rename/rename_run.h"
#include "rename/undo.h"

namespace trellisane {

class BackgroundJob;
class Dialogs;
class HistoryKeeper;
struct UndoOfRun;

/// What the core is busy with; exactly one at a time. A run outranks an undo, an undo outranks
/// the adds: while a run goes, adds still walking keep walking, and hand their batches in after.
enum class Busy {
    Idle,      ///< nothing under way
    Adding,    ///< at least one add has started and not yet appended its batch
    Renaming,  ///< a Start Renaming run is under way
    Undoing,   ///< an undo puts folders back
};

/// What a person can ask of the core, each guarded by the busy state (Allows).
enum class Action {
    Preview,        ///< a preview pass (its own PreviewBusy guard as well)
    Add,            ///< "Add Folder/s", an outside add, the samples
    RemoveRows,     ///< removing one row, "Clear List", "Remove Rows That Cannot Be Renamed"
    StartRenaming,  ///< a Start Renaming run
    Undo,           ///< putting back the last run's folders
};

/// Whether `action` goes ahead in `busy`. `pointerHeld`: an add under way still shows the busy
/// pointer (the first add to append its batch gives it back, though others still walk); it
/// only matters for Adding. Removing rows waits for the busy pointer; nothing comes between a
/// run's rows or an undo's folders; an undo waits for every add (they gathered the paths of
/// before it). Pure.
bool Allows(Busy busy, bool pointerHeld, Action action);

/// Whether the window shows the busy pointer in `busy` (see Allows for `pointerHeld`). Pure.
bool PointerBusyIn(Busy busy, bool pointerHeld);

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

/// What one undo did: how many folders it put back, those it could not, and how many folders
/// renamed by earlier runs (which the undo does not cover) keep their new names.
struct UndoReport {
    std::size_t putBack = 0;
    std::vector<UndoOutcome> notPutBack;
    std::size_t keptByEarlierRuns = 0;
};

/// The message that tells a person what an undo did (UndoReport), in one box.
QString UndoMessage(const UndoReport& result);

/// How many failed rows of one Start Renaming run get an error report of their own; the rest
/// are counted in one message at the run's end (their rows show why).
inline constexpr qsizetype kReportsPerRun = 10;

/// What the controller asks of the window it serves; every member is called on the
/// user-interface thread and may be empty (then nothing happens there).
struct ControllerHooks {
    /// The preview pass's hooks (the selector's text, the prompts, the error report, the pass
    /// record); `enableStartRenaming` is the controller's own and is ignored here.
    PreviewHooks preview;
    /// Whether a dialog is open: outside adds wait for it to close.
    std::function<bool()> dialogOpen;
    /// Whether an outside add walks the folders beneath: `asked` as its sender said, or empty
    /// for the sub-folder option as it stands (which a `true` ticks).
    std::function<bool(std::optional<bool> asked)> subfolders;
    /// Makes the job of a Start Renaming run (the window's shows its progress).
    RunJobMaker makeRun;
};

/// The core of the window, without a widget: the folder list, the adds under way, the run, the
/// undo record and the one busy state (Busy) from which the guards, the busy pointer and the
/// enabled state of "Undo Last Renaming" follow. It tells the window by signals; it asks and
/// tells the person through `dialogs`. One add, preview, run and undo each go through it:
///
///   add:     StartAdd -> walk and sort (BackgroundJob) -> batch appended -> Preview
///   preview: Preview -> PreviewRename over the list (the pass's steps around PreviewRows)
///   run:     StartRenaming -> RunJob over a copy of the rows, recorded for undo -> rows adopted
///   undo:    Undo -> the last run's folders put back, the rows as they were before it
///
/// The disk it renames, plans and undoes through is the one RenamePlatform set with
/// SetPlatform. User-interface thread only.
class RenameController : public QObject {
    Q_OBJECT

  public:
    /// A controller over an empty list; `dialogs` must outlive it; `walk` replaces the
    /// sub-folder walk (empty: GetSubDirectories2016).
    RenameController(Dialogs& dialogs, WalkFn walk, QObject* parent = nullptr);
    /// Stops what is under way without waiting for it to end (StopAll first to wait).
    ~RenameController() override;

    /// The listed folders.
    /// The list, with any preview pass still being written finished first, so a caller sees
    /// every row as the last pass wrote it.
    FolderList& List() {
        FinishPendingPreview();
        return m_list;
    }
    const FolderList& List() const { return m_list; }
    /// Sets what the controller needs of its window (ControllerHooks); before the first add.
    void SetHooks(ControllerHooks hooks);
    /// The title of every message box and prompt but the error report.
    void SetTitle(QString title) { m_title = std::move(title); }
    const QString& Title() const { return m_title; }

    /// The busy state now. O(1).
    Busy State() const;
    /// Whether `action` would go ahead now (Allows with the state now).
    bool Allows(Action action) const;
    /// Whether the window shows the busy pointer now (PointerBusyIn).
    bool PointerBusy() const;
    /// True while a preview pass runs, start-up holds it off (HoldPreview) or a run goes.
    bool PreviewBusy() const;
    /// Whether "Undo Last Renaming" would undo something now: a run that moved a folder, not
    /// undone, withdrawn or replaced, and nothing under way.
    bool CanUndo() const;
    /// Adds that have started and not yet appended their batch.
    int AddsInFlight() const { return static_cast<int>(m_adds.size()); }
    /// Adds whose batch is ready but waits for a Start Renaming run to end.
    int BatchesWaitingForRun() const { return static_cast<int>(m_waitingForRun.size()); }
    /// Outside adds waiting for a dialog to close or a run to end.
    int OutsideAddsWaiting() const { return static_cast<int>(m_outsideWaiting.size()); }

    /// The disk every run, plan and undo goes through (DefaultRenamePlatform() unless set).
    void SetPlatform(RenamePlatform platform);
    const RenamePlatform& Platform() const { return m_platform; }

    /// Holds off every preview pass (start-up, while it fills the selector) or lets them run.
    void HoldPreview(bool held) { m_previewHeld = held; }
    /// The preview pass (PreviewRename) with the window's hooks: nothing while PreviewBusy();
    /// else it enables Start Renaming, asks, writes the new paths and says `previewed`. A list
    /// longer than PreviewSlice() rows is written that many rows a turn of the event loop,
    /// so the window keeps painting and answering; `previewed` comes after the last. Whatever
    /// changes or reads the rows meanwhile through this controller (another pass, an add's
    /// batch, a run, an undo, a removal, List()) first finishes the writing at once, so every
    /// outcome is the one a pass written at once gives.
    void Preview();
    /// Whether a preview pass is still writing a long list's rows. O(1).
    bool PreviewWriting() const { return m_pendingPreview.has_value(); }
    /// Writes at once every row a preview pass has left to write; nothing when none.
    /// O(rows left).
    void FinishPendingPreview();
    /// The rows a preview pass writes in one turn of the event loop (at least 1).
    qsizetype PreviewSlice() const { return m_previewSlice; }
    void SetPreviewSlice(qsizetype rows) { m_previewSlice = std::max<qsizetype>(rows, 1); }

    /// An add whose handler has reached its busy-pointer step: shows the busy pointer (line
    /// 106), gathers each of `folders` as a batch of its own (108), walks beneath them when
    /// `recursive` (110) and sorts them on a worker, then appends them in order (112), gives
    /// the pointer back (114) and runs a preview pass (116), reporting through `trap`. During
    /// a run a ready batch waits for its end and follows its renames.
    void StartAdd(ErrorTrap trap, const QStringList& folders, bool recursive);
    /// Adds folders from outside the window as "Add Folder/s" adds the chosen one, with its
    /// location and lines: the texts that are no folders in one message, then each folder as
    /// its own batch. While a dialog is open it waits for it to close; during a run it waits
    /// for the run's end and then adds its folders where the run's renames took them.
    void AddFromOutside(OutsideAdd add);

    /// The sample folders of "Load Sample/Example Folders": opens `samplesPath` (line 102),
    /// lists its sub-folders (104) and appends one row for each, in binary order (106),
    /// reporting through `trap`; a failure there is reported and what was read is kept.
    void AddSamples(ErrorTrap& trap, const QString& samplesPath);

    /// "Start Renaming" after the handler's count: a run over the rows (no folders: "No
    /// folders added."), reporting with the run's location and lines; the rows are adopted,
    /// the failures reported and "Done." (or how far a stopped run got) told when it ends.
    /// Nothing unless Allows(Action::StartRenaming).
    void StartRenaming();

    /// "Undo Last Renaming": puts the last run's folders back, the rows as before it, enables
    /// Start Renaming and tells what it did in one message. Nothing unless CanUndo().
    void Undo();
    /// The list gained or lost rows or was emptied: the last run can no longer be undone.
    void RowsAddedOrRemoved();

    /// Keeps every run in `history` (not owned; null: runs are kept in memory only, as the
    /// last run): each Start Renaming run is journaled into it as it goes, and Undo takes back
    /// its runs newest first, across restarts, in the background (Busy::Undoing until it ends).
    void SetHistory(HistoryKeeper* history);
    /// Undoes run `id` of the history (as Undo does the next one): its rows get their paths
    /// back where the list still holds them as the run left them; otherwise the rows inside
    /// folders the undo moves are carried along. One message says what was done. Nothing
    /// unless Allows(Action::Undo).
    void UndoRun(const QString& id);
    /// After the window is shown: when a run was cut short (killed, a crash, a power cut) and
    /// this has not been said before, says so and offers to undo it. Asks at most once per run.
    void OfferUndoOfRunCutShort();

    /// Removes the row at `position` (1-based; nothing when out of range); false, and nothing
    /// done, while the busy pointer shows.
    bool RemoveRow(qsizetype position);
    /// "Clear List": removes every row; false, and nothing done, while the busy pointer shows.
    bool Clear();
    /// Removes every row the plan `fates` (one per row) says would not be renamed; false, and
    /// nothing done, while the busy pointer shows.
    bool RemoveRowsThatCannotBeRenamed(const std::vector<RowFate>& fates);

    /// Closing: stops a run after its current folder and waits for it, then cancels every
    /// background job of the controller and those in `others`, answers their open questions as
    /// cancelled and waits for them all until `deadline`; adds under way are dropped. A job
    /// stuck past the deadline is abandoned.
    void StopAll(const std::vector<BackgroundJob*>& others, QDeadlineTimer deadline);

  Q_SIGNALS:
    /// The busy state, the busy pointer or CanUndo() may have changed.
    void busyChanged();
    /// The busy pointer shows (`busy`) or has gone: back to the pointer before it
    /// (`restore`), or to the default pointer (an add's own step).
    void pointerChanged(bool busy, bool restore);
    /// Start Renaming is enabled (a preview pass, an undo) or disabled (a run done).
    void startRenamingEnabled(bool enabled);
    /// A preview pass has written the rows.
    void previewed();
    /// A run or an undo is about to change the disk under the rows (`held`), or is over.
    void diskChanging(bool held);
    /// A run has ended: what it did with each row.
    void runRecorded(std::shared_ptr<const RenameRun> run);

  private:
    struct AddJob;

    void StartAddWorker(const std::shared_ptr<AddJob>& job, bool recursive);
    void FinishAdd(const std::shared_ptr<AddJob>& job);
    void StartWaitingOutsideAdds();
    /// The end of the run under way: its rows written back into the list (a long list a slice
    /// a turn of the event loop, the run still counting as under way meanwhile; all at once
    /// when `closing`), then what the run did is told and shown.
    void FinishStartRenaming(bool closing);
    /// Writes the ended run's rows from m_adopted + 1 on into the list: one slice, or all of
    /// them when `all`. True once every row is written.
    bool AdoptRunRows(const std::vector<FolderRow>& rows, bool all);
    /// Copies the next slice of the rows for the run about to start (m_starting), then, once
    /// all are copied, starts it (LaunchRun).
    void CopyRunRows();
    /// Starts the run over the rows copied, through the platform m_starting holds.
    void LaunchRun();
    void StopRenaming(QDeadlineTimer deadline);
    /// After a run that made `moves`: every add under way, and every outside add held for the
    /// run, carries its paths through them; then the batches that waited are appended and the
    /// held outside adds start.
    void AddsFollowRun(const std::vector<PathMove>& moves);
    /// Runs `change` to the counters of the busy state and tells what it changed.
    void Change(const std::function<void()>& change, bool pointerToDefault = false);
    void WithdrawUndo();
    /// What the history keeps about the run about to start.
    JournalAbout AboutThisRun() const;
    void FinishUndoOfRun(const QString& id, const UndoOfRun& undo);
    /// Writes the next PreviewSlice() rows of the pass under way, and when rows are left and
    /// `thenWait`, asks for the next turn of the event loop; after the last, says `previewed`.
    void WritePreviewSlice(bool thenWait);

    /// A preview pass whose rows are being written a slice at a time.
    struct PendingPreview {
        Operation operation = Operation::OpNone;
        PromptAnswers answers;
        quint32 pass = 0;
        qsizetype next = 1;  ///< the first row not yet written
    };

    Dialogs& m_dialogs;
    WalkFn m_walk;
    ControllerHooks m_hooks;
    QString m_title;
    FolderList m_list;
    RenamePlatform m_platform = DefaultRenamePlatform();

    // The facts the busy state is made of.
    std::vector<std::shared_ptr<AddJob>> m_adds;
    bool m_pointerHeld = false;  // an add shows the busy pointer
    RunJob* m_run = nullptr;     // the run under way, a child of what makeRun chose
    bool m_undoing = false;
    bool m_previewHeld = false;
    bool m_previewing = false;
    std::optional<PendingPreview> m_pendingPreview;
    /// About 5 ms of writing on this kind of machine: the event loop turns at least that often.
    qsizetype m_previewSlice = 20000;
    QTimer* m_previewTimer = nullptr;  // single-shot, 0 ms: the next slice
    /// A run whose rows are being copied for it, a slice a turn: it counts as under way.
    struct StartingRun {
        std::vector<FolderRow> rows;
        RenamePlatform platform;  ///< journaled, when the history keeps the run
    };
    std::optional<StartingRun> m_starting;
    QTimer* m_startTimer = nullptr;  // single-shot, 0 ms: the next slice of its rows
    qsizetype m_adopted = 0;         // rows of the ended run written back into the list so far
    QTimer* m_adoptTimer = nullptr;  // single-shot, 0 ms: the next slice of them

    std::vector<std::shared_ptr<AddJob>> m_waitingForRun;
    std::vector<OutsideAdd> m_outsideWaiting;
    std::shared_ptr<qsizetype> m_reportsThisRun;  // failure reports of the run under way

    // The undo record: replaced, never cleared, when withdrawn (a run still recording keeps
    // its own).
    std::shared_ptr<LastRun> m_lastRun = std::make_shared<LastRun>();
    std::size_t m_earlierMoves = 0;  // folders moved by runs a newer run replaced

    HistoryKeeper* m_history = nullptr;
    Operation m_lastOperation = Operation::OpNone;  // the latest preview pass's, for the history
    PromptAnswers m_lastAnswers;
};

}  // namespace trellisane
