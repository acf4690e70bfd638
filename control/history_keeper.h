#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "control/background_job.h"
#include "rename/journal.h"
#include "rename/rename_run.h"
#include "rename/run_history.h"

namespace trellisane {

/// The window's side of the history of runs: journals each Start Renaming run into it, knows
/// which run "Undo Last Renaming" takes back next, offers once the undo of a run cut short, and
/// undoes a run in the background (a BackgroundJob, with progress and a cancel). Qt Core only;
/// user-interface thread only, but for the hooks it hands a run, which the run's worker calls.
class HistoryKeeper : public QObject {
    Q_OBJECT

  public:
    /// A keeper of `history`, read once now.
    explicit HistoryKeeper(RunHistory history, QObject* parent = nullptr);
    /// An undo still running is waited for with the job, a child of the keeper (the window's
    /// closing stops it first, within its bound).
    ~HistoryKeeper() override = default;

    const RunHistory& History() const { return m_history; }

    /// Before a run: starts its journal with `about` and returns `base` with hooks that write
    /// it as the run goes (they keep the journal alive however long the run lasts). Nothing,
    /// with the errno value in `error`, when the journal cannot be started.
    std::optional<RenamePlatform> Record(RenamePlatform base, const JournalAbout& about,
                                         int& error);
    /// After that run: writes its end (`stopped`: before its last row), then keeps the history
    /// within its bounds and reads it again on a worker (Reading()), since reading a journal of
    /// a million rows takes seconds. Returns the errno value of a failed journal write, else 0.
    /// `movedAny`: whether the run moved a folder, which then stands next to undo (HasNext).
    int EndRun(bool stopped, bool movedAny = true);
    /// Whether the history is being read again on a worker: Runs() and Next() are then as read
    /// before the run, until `changed`.
    bool Reading() const { return m_reading != nullptr; }
    /// Waits for a reading under way, however long it takes, and takes what it read (then
    /// `changed`); nothing when none is under way. For a caller that needs Next() now.
    void FinishReading();
    /// Reads the history again on a worker, as after a run (Reading()); Next() is the history
    /// as last read until then. A reading under way is left to end unheeded.
    void ReadAgain();
    /// Every job of the keeper still going (an undo, readings, those left unheeded included),
    /// for the window's closing to stop with the others.
    std::vector<BackgroundJob*> Jobs() const;
    /// The id of the run this window recorded last ("" none).
    const QString& LastRecorded() const { return m_lastRecorded; }

    /// Reads the history again, now; a reading under way is left to end unheeded.
    void Refresh();
    /// The runs as last read, newest first.
    const std::vector<HistoryRun>& Runs() const { return m_runs; }
    /// The run Undo Last Renaming takes back next, as last read; nullptr when none.
    const HistoryRun* Next() const { return RunHistory::NextToUndo(m_runs); }
    /// Whether there is a run for Undo Last Renaming to take back: Next(), or, while the history
    /// is read again after a run that moved folders, that run. O(runs).
    bool HasNext() const { return (Reading() && m_readingHasNext) || Next() != nullptr; }

    /// The newest run cut short whose undo has not been offered yet, marked offered now so that
    /// no later start offers it again; nothing when there is none.
    std::optional<HistoryRun> TakeCutShortOffer();

    /// Undoes run `id` through `platform` on a worker thread; `undoProgressed` tells how far it
    /// has come and `undoFinished` what it did. False when an undo is under way already or no
    /// thread could be had.
    bool StartUndo(const QString& id, const RenamePlatform& platform);
    /// Stops the undo under way before its next folder (its result tells what was done).
    void CancelUndo();
    /// Whether an undo is under way.
    bool Undoing() const { return m_undo != nullptr; }

  Q_SIGNALS:
    /// The history was read again: Next() may have changed.
    void changed();
    /// The undo under way has handled `done` of `total` folders.
    void undoProgressed(qint64 done, qint64 total);
    /// The undo of run `id` has ended (cancelled or not): what it found and did.
    void undoFinished(const QString& id, std::shared_ptr<const UndoOfRun> undo);

  private:
    /// Starts a reading on a worker, pruning first when `prune`; `hasNext` is what HasNext()
    /// says until it ends.
    void Read(bool prune, bool hasNext);

    RunHistory m_history;
    std::vector<HistoryRun> m_runs;
    std::shared_ptr<JournalWriter> m_writer;  // the run being recorded
    QString m_lastRecorded;
    QPointer<BackgroundJob> m_undo;  // gone with the job, also when closing stopped it
    QPointer<BackgroundJob> m_reading;
    std::shared_ptr<std::vector<HistoryRun>> m_read;  // what m_reading reads into
    bool m_readingHasNext = false;                    // the run read moved folders
};

/// The message that tells a person what an undo of a run of the history did: how many folders
/// it put back on disk, the folders it could not (NotPutBackMessage), whether it was cancelled.
QString HistoryUndoMessage(const UndoOfRun& undo);

}  // namespace trellisane
