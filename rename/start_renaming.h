#pragma once

#include <sys/types.h>

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "rename/naming_rules.h"
#include "rename/overlay_layers.h"
#include "rename/row_status.h"

namespace trellisane {

class Dialogs;
class FolderList;
struct FolderRow;

/// The location text of Start Renaming's error reports.
inline constexpr char kStartRenamingLocation[] = "in Dorvalin2021/08/31.Form1.PushButton2_Click ";

/// Start Renaming's statements, as its error reports number them.
namespace start_renaming_lines {
inline constexpr int kCountRows = 100;
inline constexpr int kNoFolders = 102;     ///< an empty list: "No folders added.", then the end
inline constexpr int kRenamePass = 104;    ///< the rename pass, first row to last
inline constexpr int kRenameRow = 106;     ///< one row's folder: a failed rename is reported here
inline constexpr int kDone = 108;          ///< "Done.", whatever failed
inline constexpr int kDisableStart = 110;  ///< disable Start Renaming
}  // namespace start_renaming_lines

/// One folder moved on disk by a run: every path equal to `from` or below it now lies below
/// `to`. Both end with the separator.
struct PathMove {
    QString from;
    QString to;
};

/// What happened to one row in a run.
struct RowOutcome {
    qsizetype position = 0;  ///< 1-based row
    QString oldPath;         ///< as tried, after following earlier renames
    QString newPath;
    RowFate fate;

    /// Whether the folder now stands at the new path (renamed, or nothing to do).
    bool ok() const { return Succeeds(fate.status); }
    /// The new name as the row asked for it: the part of the new path after the old parent.
    QString NewName() const;
    /// The report of a row that did not succeed (DescribeFailure).
    QString Report() const;
};

/// The result of one run, for callers that report in their own way (the command line) and for
/// carrying paths gathered during the run through its renames.
struct RenameRun {
    std::vector<RowOutcome> outcomes;  ///< one per row, in list order
    std::vector<PathMove> moves;       ///< every folder actually moved, in order
};

/// How a caller follows a run of ApplyRenames and stops it between rows. Both members are
/// optional and are called on the thread that runs the renames.
struct RunControl {
    /// Told before each row is tried: its 1-based position, the number of rows, and its
    /// current path as it stands then (carried through the renames before it).
    std::function<void(qsizetype position, qsizetype count, const QString& current)> starting;
    /// Asked before each row: true stops the run there, after the folder renamed last. The row
    /// at hand and every later one are then NotTried.
    std::function<bool()> cancelled;
};

/// Renames every row's folder from its current to its new path, first row to last; one outcome
/// per row, going on past failures. Never replaces an existing folder; a row whose new path
/// equals its current path succeeds without a change; an empty or unusable new name, and a
/// current path that no longer names a folder, fail without a rename. Afterwards each row's current
/// path is where its folder is and every new path is "". `onFailure` (may be empty) is called at
/// once for each failed row. When a folder moves, every row whose current path is equal to or below
/// it (by whole components) follows it, earlier rows and later ones, the later with their new
/// paths, so a folder listed before its own sub-folders breaks nothing. A failed row keeps its
/// path. Near-linear in rows times depth.
RenameRun ApplyRenames(FolderList& list, const std::function<void(const RowOutcome&)>& onFailure);

/// "Start Renaming": "No folders added." for an empty list; otherwise ApplyRenames with one
/// error report per failed row, "Done.", and `disableStartRenaming`. Messages carry `title`.
RenameRun StartRenaming(FolderList& list, Dialogs& dialogs, const QString& title,
                        const std::function<void()>& disableStartRenaming);

/// Carries every path of `paths` through `moves` in order (each move rebases a path equal to or
/// below its `from`, compared by whole components). Near-linear in paths plus moves.
void CarryThroughMoves(QStringList& paths, const std::vector<PathMove>& moves);

/// Renames `from` to `to` (both without trailing separator) unless `to` is already taken.
/// Returns 0 or the errno value. Falls back to check-then-rename where the file system
/// refuses the no-replace flag.
int RenameNoReplace(const QString& from, const QString& to);

/// The fallback of RenameNoReplace on its own: EEXIST when `to` exists (a symbolic link
/// included, dangling or not), else a plain rename. Not atomic: something created at `to`
/// between the check and the rename is replaced if it is an empty folder. Returns 0 or errno.
int RenameCheckThenRename(const QString& from, const QString& to);

/// Whether `a` and `b` name one file-system entry: same device and inode, a final symbolic
/// link not followed; or, where a file system gives each spelling of a name its own inode
/// number (exfat-fuse), two spellings of one name in one parent (equal case-folded) that the
/// parent lists as a single entry. False when either cannot be examined. Two lstat calls; for
/// two spellings with different inode numbers also a stat of the parent, and a listing of it
/// the first time and whenever something other than this program's renames changed it.
bool SameEntry(const QString& a, const QString& b);

/// What stands at one path, as a run needs to know it.
struct EntryState {
    int error = 0;                     ///< 0, or the errno value of the look-up (ENOENT: none)
    Occupant kind = Occupant::Folder;  ///< what it is; a device or pipe counts as a file
    bool linkToFolder = false;         ///< a symbolic link that leads to a folder
    uid_t owner = 0;
    dev_t device = 0;  ///< the file system it lies on (a mount point: the one mounted there)

    /// A folder, or a link to one: what a row may rename.
    bool IsFolder() const { return error == 0 && (kind == Occupant::Folder || linkToFolder); }
};

/// The entry at `path` (no trailing separator), a final symbolic link not followed; one lstat,
/// and a stat for a link.
EntryState ExamineEntry(const QString& path);

/// Whether names in `folder` are compared without regard to case: a FAT, exFAT, NTFS or HFS
/// file system, or a folder with the case-folding attribute (ext4, f2fs). Where the type does
/// not tell (FUSE, network and stacked file systems), the folder's behaviour does: one of its
/// first entries with a cased letter is looked up in the other case (SameEntry). False when it
/// cannot be told. One statfs, and an open and ioctl on ext4 and f2fs, or a short listing and
/// two lstat calls for the others.
bool FoldsCase(const QString& folder);

struct FolderRenameResult;

/// The disk operations a run uses. DefaultRenamePlatform() gives the real ones; tests replace
/// an entry to reach file systems this machine may not have (a case-insensitive one).
struct RenamePlatform {
    /// Renames without ever replacing (RenameNoReplace): 0 or errno.
    std::function<int(const QString& from, const QString& to)> renameNoReplace;
    /// Whether two paths name one entry (SameEntry).
    std::function<bool(const QString& a, const QString& b)> sameEntry;
    /// Why the folder at a row's current path must be left alone whatever its new name, or
    /// nothing; may be empty (nothing is refused).
    std::function<std::optional<QString>(const QString& oldPath)> refuse;
    /// Why the driver of the file system `folder` lies on would refuse or silently change the
    /// new name `name` of a folder in it, or nothing (NamingRuleRefusalAt); may be empty.
    std::function<std::optional<QString>(const QString& folder, const QString& name)> refuseName =
        NamingRuleRefusalAt;
    /// What an overlay does to the rename of the folder at a path (OverlayRenameVerdict). Only
    /// the plan asks: the run meets the kernel's own answer.
    std::function<OverlayVerdict(const QString& folder)> overlayVerdict = OverlayRenameVerdict;
    /// What stands at a path (ExamineEntry).
    std::function<EntryState(const QString& path)> examine = ExamineEntry;
    /// Whether the file system of `folder` sees names that differ only in case as one name
    /// (FoldsCase). Only the plan asks.
    std::function<bool(const QString& folder)> foldsCase = FoldsCase;
    /// Optional: told before ApplyRenames renames a folder from `from` to `to` (no trailing
    /// separators), with the run's rows as they stand then (the row at its turn has `from` and
    /// `to` as its paths, the rows after it their paths of now; the rows before it have been
    /// done, their new paths cleared, their current paths brought up to date only when the run
    /// ends). A non-zero errno refuses the rename, which then fails with it.
    std::function<int(const std::vector<FolderRow>& rows, const QString& from, const QString& to)>
        aboutToRename;
    /// Optional: told, within a rename that aboutToRename let through, before a case-only
    /// change moves the folder at `from` to the temporary name `temporary` (both without
    /// trailing separators). A non-zero errno refuses that step, and the rename fails with it.
    std::function<int(const QString& from, const QString& temporary)> aboutToUseTemporary;
    /// Optional: told after each rename that aboutToRename let through, with its result.
    std::function<void(const QString& from, const QString& to, const FolderRenameResult& result)>
        renamed;
};

/// The real disk operations: RenameNoReplace, SameEntry, ExamineEntry and FoldsCase; `refuse`
/// refuses the folders the system stands on (SystemFolderRefusal: the root folder, every folder
/// directly in it, the home folder, every mount point) and every folder inside the running
/// program's own folder when that is an installed copy (ProtectedLocationRefusal).
RenamePlatform DefaultRenamePlatform();

/// The outcome of RenameFolder.
struct FolderRenameResult {
    int error = 0;       ///< 0 when the folder now stands at `to`, else errno
    QString strandedAt;  ///< on a failure, where the folder was left if not at `from`
};

/// Renames `from` to `to` (both without trailing separator, `to` in the same parent) through
/// `platform`, never replacing anything. When `to` is taken by the very entry at `from` under
/// another spelling (a case-only change on a case-insensitive file system), renames through a
/// unique temporary name in the same parent and, should the second step fail, back again; only
/// if that fails too is the folder left at the temporary name, given in `strandedAt`.
/// A few platform calls.
FolderRenameResult RenameFolder(const QString& from, const QString& to,
                                const RenamePlatform& platform);

/// ApplyRenames with the disk operations of `platform`, followed and stoppable through
/// `control`; a stopped run leaves the list's rows as the overload on rows says.
RenameRun ApplyRenames(FolderList& list, const std::function<void(const RowOutcome&)>& onFailure,
                       const RenamePlatform& platform, const RunControl& control = {});

/// StartRenaming with the disk operations of `platform`.
RenameRun StartRenaming(FolderList& list, Dialogs& dialogs, const QString& title,
                        const std::function<void()>& disableStartRenaming,
                        const RenamePlatform& platform);

/// ApplyRenames on `rows` alone (a copy of a list's rows, say, renamed away from the list),
/// followed and stoppable through `control`. Always one outcome per row: once the run is
/// stopped, every row not reached is NotTried, keeps its new path (carried through the renames
/// done, like its current path), and every row tried gets its current path as its new path,
/// so that running the rows again renames exactly the rest. Not stopped, it leaves the rows as
/// ApplyRenames leaves a list's.
RenameRun ApplyRenames(std::vector<FolderRow>& rows,
                       const std::function<void(const RowOutcome&)>& onFailure,
                       const RenamePlatform& platform, const RunControl& control);

/// Writes each row of `rows` into the row of `list` at its position (as many as both hold), its
/// current and its new path, as one change. O(rows).
void AdoptRows(FolderList& list, const std::vector<FolderRow>& rows);

}  // namespace trellisane
