#pragma once

// The disk a run, a plan and an undo go through: the system calls that rename and examine
// folders, RenamePlatform (the one seam that replaces them, injected where a run starts), and
// RunObserver (what a run reports of its renames to the records kept of it).

#include <sys/stat.h>
#include <sys/types.h>

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "folders/folder_list.h"
#include "rename/naming_rules.h"
#include "rename/overlay_layers.h"
#include "rename/row_status.h"
#include "rename/system_folders.h"

namespace trellisane {

/// The outcome of RenameFolder.
struct FolderRenameResult {
    int error = 0;       ///< 0 when the folder now stands at `to`, else errno
    QString strandedAt;  ///< on a failure, where the folder was left if not at `from`
};

/// What a run reports of its renames as they happen, to whatever keeps a record of them (the
/// journal on disk, the undo record in memory). Called on the thread that renames.
class RunObserver {
  public:
    virtual ~RunObserver() = default;
    /// Before the folder at `from` is renamed to `to` (no trailing separators), with the run's
    /// rows as they stand then (the row at its turn has `from` and `to` as its paths, the rows
    /// after it their paths of now; the rows before it have been done, their new paths
    /// cleared, their current paths brought up to date only when the run ends). A non-zero
    /// errno refuses the rename, which then fails with it.
    virtual int AboutToRename(const std::vector<FolderRow>& rows, const QString& from,
                              const QString& to) = 0;
    /// Within a rename let through, before a case-only change moves the folder at `from` to
    /// the temporary name `temporary` (both without trailing separators). A non-zero errno
    /// refuses that step, and the rename fails with it. Nothing by default.
    virtual int AboutToUseTemporary(const QString& from, const QString& temporary);
    /// After each rename let through, with its result.
    virtual void Renamed(const QString& from, const QString& to,
                         const FolderRenameResult& result) = 0;
};

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

/// What an entry's own status (lstat's, or fstatat's without following) says of it: its kind,
/// owner and file system. `linkToFolder` stays false: for a link, the caller follows it the
/// way it looked the entry up. No system call.
EntryState EntryStateOf(const struct stat& status);

/// The entry at `path` (no trailing separator), a final symbolic link not followed; one lstat,
/// and a stat for a link.
EntryState ExamineEntry(const QString& path);

/// One look at the entry at a path: what ExamineEntry says of it and where it stands among the
/// mounts.
struct EntryLook {
    EntryState entry;
    FolderMount mount;
};

/// The entry at `path` (no trailing separator), a final symbolic link not followed: one statx
/// telling ExamineEntry's answer and the mount together, and a stat for a link. Where statx is
/// missing, ExamineEntry's answer and an unknown mount.
EntryLook LookAtEntry(const QString& path);

/// LookAtEntry for the entry `name` (one component, the file system's bytes) in the folder
/// open as `folder`, which is the entry at `path`, or for the path `name` when `folder` is
/// AT_FDCWD. `path` is only for a kernel without statx.
EntryLook LookAtEntryIn(int folder, const char* name, const QString& path);

/// Which folder a path leads to, as one look at it tells: its mount, device and inode.
struct FolderIdentity {
    quint64 mount = 0;
    dev_t device = 0;
    ino_t inode = 0;

    bool operator==(const FolderIdentity& other) const {
        return mount == other.mount && device == other.device && inode == other.inode;
    }
};

/// The identity of the folder at `path` (absolute, no trailing separator) when the path is
/// plain: every component a real folder reached by its name, no symbolic link, no "." or ".."
/// and no empty component, on a local file system whose inode numbers name one folder whatever
/// the spelling (tmpfs, ramfs, ext2/3/4, xfs, btrfs, f2fs). Then a rename in another folder
/// reached the same plain way, on the same mount and as deep, touches no entry this path goes
/// through. Nothing for any other path, where the kernel lacks openat2 or statx's mount id, or
/// where it cannot be looked at. An openat2, a statx, an fstatfs and a close.
std::optional<FolderIdentity> PlainFolderIdentity(const QString& path);

/// The refusal DefaultRenamePlatform's `refuse` makes: the folders the system stands on
/// (SystemFolderCheck) and, for an installed copy, the program's own folder
/// (ProtectedLocationRefusal). A run that has looked at the folder anyway hands its look to
/// Judge and saves the statx that the call operator makes.
class SystemRefusal {
  public:
    /// `guarded`: the installed program's folder, or "" for none.
    SystemRefusal(SystemPlaces places, QString guarded);
    /// Why the folder at `path` must be left alone, or nothing. A statx, and what Judge costs.
    std::optional<QString> operator()(const QString& path) const;
    /// The same, given a look at WithoutTrailingSeparators(path) made just before. No system
    /// call for most folders (SystemFolderCheck::Refusal); a realpath for an installed copy.
    std::optional<QString> Judge(const QString& path, const EntryLook& look) const;

  private:
    std::shared_ptr<const SystemFolderCheck> m_check;
    QString m_guarded;
};

/// Whether names in `folder` are compared without regard to case: a FAT, exFAT, NTFS or HFS
/// file system, or a folder with the case-folding attribute (ext4, f2fs). Where the type does
/// not tell (FUSE, network and stacked file systems), the folder's behaviour does: one of its
/// first entries with a cased letter is looked up in the other case (SameEntry). False when it
/// cannot be told. One statfs, and an open and ioctl on ext4 and f2fs, or a short listing and
/// two lstat calls for the others.
bool FoldsCase(const QString& folder);

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
    /// Told of every rename a run or an undo makes through this platform, in the order they
    /// were attached (Observed): a refusal of one refuses the rename, and those after it are
    /// not told; RunObserver::Renamed goes to them in the reverse order.
    std::vector<std::shared_ptr<RunObserver>> observers;
};

/// The real disk operations: RenameNoReplace, SameEntry, ExamineEntry and FoldsCase; `refuse`
/// refuses the folders the system stands on (SystemFolderRefusal: the root folder, every folder
/// directly in it, the home folder, every mount point) and every folder inside the running
/// program's own folder when that is an installed copy (ProtectedLocationRefusal).
RenamePlatform DefaultRenamePlatform();

/// Renames `from` to `to` (both without trailing separator, `to` in the same parent) through
/// `platform`, never replacing anything. When `to` is taken by the very entry at `from` under
/// another spelling (a case-only change on a case-insensitive file system), renames through a
/// unique temporary name in the same parent and, should the second step fail, back again; only
/// if that fails too is the folder left at the temporary name, given in `strandedAt`.
/// A few platform calls.
FolderRenameResult RenameFolder(const QString& from, const QString& to,
                                const RenamePlatform& platform);

/// `base` with `observer` told of its renames after those already attached to it. The
/// platform keeps `observer` alive.
RenamePlatform Observed(RenamePlatform base, std::shared_ptr<RunObserver> observer);

/// Observed with an observer the caller keeps alive for as long as the platform is used.
RenamePlatform Observed(RenamePlatform base, RunObserver& observer);

/// What the observers of `platform` say before a rename (RunObserver::AboutToRename): 0, or
/// the errno of the first that refuses.
int TellAboutToRename(const RenamePlatform& platform, const std::vector<FolderRow>& rows,
                      const QString& from, const QString& to);

/// What the observers of `platform` say before a case-only change's temporary step: 0, or the
/// errno of the first that refuses.
int TellAboutToUseTemporary(const RenamePlatform& platform, const QString& from,
                            const QString& temporary);

/// Tells the observers of `platform` the result of a rename, the last attached first.
void TellRenamed(const RenamePlatform& platform, const QString& from, const QString& to,
                 const FolderRenameResult& result);

}  // namespace trellisane
