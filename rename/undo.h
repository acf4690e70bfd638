#pragma once

#include <QString>
#include <QtGlobal>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "folders/folder_list.h"
#include "rename/rename_run.h"

namespace trellisane {

/// Which file-system entry a folder is: device and inode, as lstat gives them (a final
/// symbolic link is the link itself), and the file system by what survives a replug.
struct FolderId {
    quint64 device = 0;
    quint64 inode = 0;
    QByteArray fileSystem{};    ///< FileSystemIdentity::key; "" unknown (a journal of version 1)
    bool stableInodes = false;  ///< the file system keeps inode numbers across mounts
    quint64 mount = 0;          ///< the mount's unique id; 0 unknown
    friend bool operator==(const FolderId&, const FolderId&) = default;
};

/// The id of the entry at `path` (no trailing separator), or nothing when it cannot be
/// examined (missing, a NUL in the path, no permission). One lstat and IdentityOf.
std::optional<FolderId> IdAt(const QString& path);

/// How sure the undo is that the entry found is the folder a run renamed.
enum class Vouch {
    No,              ///< another entry, or none
    SameEntry,       ///< the same device and inode, on the same mount
    SameFileSystem,  ///< the same file system (its UUID or source) and inode number, mounted again
    PathOnly,        ///< the same file system, mounted again, but it renumbers inodes at each mount
};

/// How `now` (the id of what stands where the folder is looked for) answers for `recorded`.
/// A recorded id without a file system (version 1) is vouched for by device and inode alone.
/// Pure.
Vouch VouchFor(const FolderId& recorded, const std::optional<FolderId>& now);

/// One folder a run moved: the entry `id` went from `from` to `to` (no trailing separators,
/// both in one parent folder), the paths as they stood at that moment of the run.
struct RecordedMove {
    QString from;
    QString to;
    std::optional<FolderId> id;  ///< nothing: not known, so the folder is never moved back
    /// Whether the move is known to have happened; otherwise (a run cut short) the disk tells.
    bool confirmed = true;
};

/// What undoing one recorded move found or did.
enum class UndoStatus {
    PutBack,          ///< renamed back to its old name (in a dry run: would be)
    AlreadyBack,      ///< the folder already has its old name, or the move never happened
    ChangedSinceRun,  ///< the folder is at neither name: moved, deleted or replaced since
    OldNameTaken,     ///< something else now has the old name; the folder is left as it is
    Failed,           ///< the rename back failed with `error`
    NotVouched,       ///< a folder stands at the path, but only its path says it is the one renamed
};

/// The outcome of one recorded move.
struct UndoOutcome {
    UndoStatus status = UndoStatus::ChangedSinceRun;
    QString found;   ///< where the folder was looked for: the run's new path, carried along
    QString target;  ///< its old path, in the parent folder it is in now
    QString at;      ///< where it stands after the whole undo (dry run: now); "": not found
    int error = 0;   ///< the errno value of a Failed rename
    Vouch vouch = Vouch::No;  ///< how the folder found was recognised
};

/// The result of an undo, for the window (rows) and the command line (report).
struct UndoResult {
    std::vector<UndoOutcome> outcomes;  ///< one per recorded move, in the order given
    std::vector<qsizetype> order;       ///< indices into outcomes in the order they were handled
    std::vector<PathMove> moves;        ///< every folder actually moved back, in order
};

/// What steers an undo from outside: a flag that stops it before its next rename back (every
/// move not yet put back is then Failed with ECANCELED, and nothing more is renamed), and
/// progress told as moves are handled (how many of how many).
struct UndoControl {
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(qsizetype handled, qsizetype total)> progress;
};

/// Puts back every folder of `moves` (in the order the run made them), newest first: finds the
/// folder where the run left it (carried along by the renames of its parents, and by the
/// undoing of them), checks by id that what stands there is the very folder moved, and renames
/// it to its old name in the parent folder it is in now, never replacing anything (RenameFolder
/// through `platform`, so a case-only change works on a case-insensitive file system). A
/// folder found under its old name is AlreadyBack; one at neither name is ChangedSinceRun and
/// never touched. With `apply` false nothing is renamed and the outcomes tell what would
/// happen, names freed or taken by earlier put-backs included. Running it a second time finds
/// every folder AlreadyBack. A folder is recognised by VouchFor: on a file system mounted again
/// its UUID (or source) and inode number do; where the file system renumbers inodes at each
/// mount, only its path is left, and such a folder is NotVouched and left alone unless
/// `trustPaths` is set (a person's explicit say). One or two lstat calls and at most a few
/// renames per move, plus O(n log n) bookkeeping.
UndoResult UndoMoves(const std::vector<RecordedMove>& moves, bool apply,
                     const RenamePlatform& platform = DefaultRenamePlatform(),
                     bool trustPaths = false, const UndoControl& control = {});

/// Records, in memory, every move of the runs whose platform it observes: the id of each
/// folder before its rename, and where it went (a stranded case-only change included).
class MoveRecorder : public RunObserver {
  public:
    /// `base` with this recorder told of its renames (Observed), after the observers `base`
    /// already has; the recorder must outlive the returned platform's use.
    RenamePlatform Attach(RenamePlatform base);
    /// The moves recorded so far, oldest first.
    const std::vector<RecordedMove>& Moves() const { return m_moves; }
    /// Forgets every move.
    void Clear() { m_moves.clear(); }

    int AboutToRename(const std::vector<FolderRow>& rows, const QString& from,
                      const QString& to) override;
    void Renamed(const QString& from, const QString& to, const FolderRenameResult& result) override;

  private:
    std::vector<RecordedMove> m_moves;
    std::optional<FolderId> m_pendingId;
};

/// The last run over a list, kept in memory so that it can be undone: the rows as they stood
/// before it and every folder it moved. Offered for that run only.
class LastRun {
  public:
    /// Forgets any earlier run and remembers the rows of `list` as they stand before a run;
    /// returns `base` observed by this record of that run's moves (this must outlive its use).
    RenamePlatform Record(const FolderList& list, RenamePlatform base);
    /// Record on `run` of the rows `before` (a list's rows as they stand, FolderList::Rows()),
    /// the returned platform keeping `run` alive: a run that outlasts its owner (one stuck in a
    /// system call and abandoned) still records into something. O(rows): the paths are shared.
    static RenamePlatform Record(const std::shared_ptr<LastRun>& run,
                                 std::vector<FolderRow> before, RenamePlatform base);
    /// Whether there is a run to undo: it moved at least one folder and has been neither
    /// withdrawn nor undone.
    bool CanUndo() const { return !m_recorder.Moves().empty(); }
    /// How many folders the run moved (0 once withdrawn). O(1).
    std::size_t Moved() const { return m_recorder.Moves().size(); }
    /// Forgets the run.
    void Withdraw();
    /// Puts back every folder the run moved (UndoMoves) and rewrites the rows of `list`, which
    /// must be the run's rows as it left them (their new paths may have changed since): a row
    /// whose folder is back where it stood before the run gets back both its paths of then;
    /// any other row shows where its folder is now, without a new path. Nothing is left to
    /// undo afterwards. Returns the outcomes of the moves whose folder was not put back, in
    /// the order handled. Does nothing (and returns nothing) when the rows are not the run's.
    std::vector<UndoOutcome> Undo(FolderList& list,
                                  const RenamePlatform& platform = DefaultRenamePlatform());
    /// The second half of Undo, for an undo of this run's moves made elsewhere (`undo`, from
    /// UndoMoves over Moves(), on a worker say): rewrites the rows of `list` as Undo does and
    /// forgets the run. Returns what Undo returns; nothing, and the rows left alone, when the
    /// rows are not the run's or `undo` is not over its moves.
    std::vector<UndoOutcome> Adopt(FolderList& list, const UndoResult& undo);

  private:
    std::vector<FolderRow> m_before;
    MoveRecorder m_recorder;
};

/// The message telling that folders could not be put back: "N folders could not be put
/// back", then the paths where the first few of them were looked for, one per line.
QString NotPutBackMessage(const std::vector<UndoOutcome>& notPutBack);

}  // namespace trellisane
