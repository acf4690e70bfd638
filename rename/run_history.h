#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "rename/journal.h"
#include "rename/row_status.h"
#include "rename/undo.h"

namespace trellisane {

/// The history keeps at most this many runs ...
inline constexpr int kHistoryMaxRuns = 100;
/// ... and at most this many bytes of journals; the oldest runs are dropped first.
inline constexpr qint64 kHistoryMaxBytes = 500LL * 1024 * 1024;

/// Where a run of the history stands.
enum class RunState {
    Running,       ///< its journal is still held by the run writing it
    Done,          ///< it ended, and nothing of it has been undone
    CutShort,      ///< it never ended (killed, a crash, a power cut) and nothing was undone
    PartlyUndone,  ///< an undo was cancelled, or could not put back every folder
    Undone,        ///< an undo put back every folder it found moved
};

/// The fixed word of a state, for scripts: "running", "done", "cut-short", "partly-undone",
/// "undone".
const char* RunStateKeyword(RunState state);

/// The words a person reads for a state ("Done", "Cut short", ...), translated.
QString DescribeRunState(RunState state);

/// One run as the history lists it. Plain data.
struct HistoryRun {
    QString id;          ///< the journal's file name without ".journal"; unique in the history
    QString path;        ///< the journal file
    JournalAbout about;  ///< startedMs from the file's time for a journal without an 'I' record
    std::optional<qint64> endedMs;
    bool stopped = false;     ///< the run was stopped (Cancel) before its last row
    qsizetype renamed = 0;    ///< folders the journal says were moved
    qsizetype uncertain = 0;  ///< renames under way when the run was cut short
    std::vector<JournalUndo> undos;
    qint64 bytes = 0;  ///< the journal's size
    RunState state = RunState::Done;
    bool offered = false;  ///< the undo of this run cut short has been offered once

    /// Whether the run still stands in the way of undoing an older run whose folders overlap
    /// it: it is running, done, cut short, or its last undo was cancelled. A run whose undo
    /// went to its end but left some folders (moved or taken since) stands no more: another
    /// undo of it would find the same.
    bool Standing() const;
};

/// Why an undo of a run from the history was not made.
enum class UndoRefusal {
    None,
    NoSuchRun,   ///< no run with that id (forgotten, dropped)
    Unreadable,  ///< the journal cannot be read or is not sound (`detail` says why)
    Running,     ///< the run is still going (or another undo of it is)
    Blocked,     ///< a newer run over the same folders stands (`blockedBy`)
    Nothing,     ///< the run moved no folder
};

/// One folder of an undo, as its dry run shows it: where the folder is now, where the undo
/// puts it, and its mark as the preview marks rows (RowFate: Renamed = it would be put back,
/// Unchanged = it already has its old name, Missing, Taken, Failed, Refused), with `reason`
/// the one sentence saying why it cannot be put back ("" when it can).
struct UndoPlanRow {
    QString now;
    QString back;
    RowFate fate;
    QString reason;
    QString missingDisk;  ///< the file system (UUID or source) not mounted now; "" otherwise
};

/// What one undo of a run found or did.
struct UndoOfRun {
    UndoRefusal refusal = UndoRefusal::None;
    QString detail;     ///< for Unreadable
    QString blockedBy;  ///< for Blocked: the id of the newest run in the way
    std::vector<RecordedMove> moves;
    UndoResult result;   ///< for None, and for a dry run that is Blocked
    JournalUndo record;  ///< what was appended to the journal (apply only)
};

/// The history of runs: one journal per run in one folder of the person's own (mode 0700,
/// files 0600), each held with flock while its run writes it, so that the window, a second
/// window and the companion can share it. Every call reads the folder afresh: nothing is
/// cached, so what another process did is seen at once. Qt Core only; safe to use from any
/// thread, one call at a time per object.
class RunHistory {
  public:
    /// The history in `folder` (created at the first run).
    explicit RunHistory(QString folder);

    /// $XDG_STATE_HOME/trellisane/history, or ~/.local/state/trellisane/history when that is
    /// unset or not absolute. No disk access.
    static QString DefaultFolder();
    /// The folder.
    const QString& Folder() const { return m_folder; }

    /// Starts the journal of a new run: creates the folder (and its parents) when missing,
    /// makes it 0700, and a new journal in it (0600, flock held) that opens with `about`. `id`
    /// receives the run's id. Nothing, with the errno value in `error`, when that fails.
    std::unique_ptr<JournalWriter> Begin(const JournalAbout& about, QString& id, int& error) const;

    /// Every run, newest first (by start time, then id). Journals that cannot be read or are
    /// not sound are left out and named in `problems` when given. Reads every journal whole:
    /// O(total size).
    std::vector<HistoryRun> List(QStringList* problems = nullptr) const;

    /// The id of the newest run in `runs` (as List gives them) that is newer than run `id`,
    /// Standing, and whose folders overlap those of `id` (a path of one equal to, inside or
    /// holding a path of the other); nothing when `id` may be undone now. Reads the journals
    /// concerned: O(n log n) in their entries.
    std::optional<QString> BlockedBy(const std::vector<HistoryRun>& runs, const QString& id) const;

    /// The run "Undo Last Renaming" takes back: the newest Standing run that is not Running and
    /// moved a folder; nullptr when there is none.
    static const HistoryRun* NextToUndo(const std::vector<HistoryRun>& runs);

    /// Undoes run `id` (UndoMoves, newest rename first) or, with `apply` false, tells what that
    /// would do. With `apply`, the journal is held with flock meanwhile and afterwards an 'U'
    /// record saying what was put back is appended (a torn last record is cut off first), and
    /// the undo is refused while a newer overlapping run stands (BlockedBy) or the run is still
    /// going. A dry run is never refused for order: it tells `blockedBy` beside its result.
    UndoOfRun Undo(const QString& id, bool apply,
                   const RenamePlatform& platform = DefaultRenamePlatform(),
                   bool trustPaths = false, const UndoControl& control = {}) const;

    /// Notes in run `id`'s journal that its undo has been offered (an 'O' record), so that
    /// HistoryRun::offered tells it from now on. False when the journal cannot be written or
    /// is held by a run or an undo.
    bool MarkOffered(const QString& id) const;

    /// Removes run `id` from the history (its journal is deleted); refused, with `error` saying
    /// why, while the run or an undo of it is going.
    bool Forget(const QString& id, QString& error) const;

    /// Drops the oldest runs until at most `maxRuns` runs and `maxBytes` bytes are kept, never
    /// a Standing run that was cut short or is running: those stay whatever the bounds say.
    /// Returns the ids dropped.
    QStringList Prune(int maxRuns = kHistoryMaxRuns, qint64 maxBytes = kHistoryMaxBytes) const;

  private:
    QString JournalPath(const QString& id) const;
    QString m_folder;
};

/// The dry run of an undo as rows the preview's marks apply to, in the order the undo handles
/// them; a rename of a run cut short that never happened is left out. A folder found nowhere
/// whose file system is not mounted now names that file system.
std::vector<UndoPlanRow> UndoPlan(const UndoOfRun& dry);

/// How many folders `result` put back, and how many it could not (left out: moves that never
/// happened, and folders already at their old name).
JournalUndo CountUndo(const std::vector<RecordedMove>& moves, const UndoResult& result,
                      bool complete);

/// The run of journal `contents` as CSV (RFC 4180: CRLF line ends, fields quoted where they
/// hold a comma, a quote or a line break, quotes doubled; UTF-8 without a byte order mark): a
/// header line "time,old path,new path,outcome", then one line per rename, the time being the
/// run's start in UTC ISO 8601 ("2026-01-31T12:00:00.000Z") and the outcome one of "renamed",
/// "not renamed", "left at a temporary name" or "unknown (cut short)".
QByteArray RunCsv(const JournalContents& contents, qint64 startedMs);

/// The contents of the journal at `path`, or nothing with `error` saying why. O(size).
std::optional<JournalContents> ReadJournal(const QString& path, QString& error);

}  // namespace trellisane
