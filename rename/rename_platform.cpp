// The disk side of renaming: one folder renamed without ever replacing anything.

#include "rename/rename_platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <linux/openat2.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QAtomicInteger>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <QRandomGenerator>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <system_error>
#include <utility>

#include "folders/path_separator.h"
#include "folders/protected_location.h"
#include "rename/system_folders.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace trellisane {

namespace {

/// renameat2(2) with RENAME_NOREPLACE: 0 or errno. Older C libraries lack the wrapper, so the
/// system call is made directly there.
int RenameAt2NoReplace(const QByteArray& from, const QByteArray& to) {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 28))
    const int result =
        ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
#else
    const int result = static_cast<int>(::syscall(SYS_renameat2, AT_FDCWD, from.constData(),
                                                  AT_FDCWD, to.constData(), RENAME_NOREPLACE));
#endif
    return result == 0 ? 0 : errno;
}

bool HoldsNul(const QString& path) { return path.contains(QChar(u'\0')); }

/// A name no folder of this program's making is likely to have, different on every call.
QString TemporaryName() {
    static QAtomicInteger<quint64> counter;
    return QStringLiteral(".trellisane-rename-%1-%2-%3")
        .arg(::getpid())
        .arg(counter.fetchAndAddRelaxed(1))
        .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
}

/// What identifies one state of a folder's listing: the folder and the times a change of its
/// entries sets.
struct ListingStamp {
    dev_t device = 0;
    ino_t inode = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const ListingStamp& other) const {
        return device == other.device && inode == other.inode &&
               modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec &&
               changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
    }
};

std::optional<ListingStamp> StampOf(const QByteArray& folder) {
    struct stat status {};
    if (::stat(folder.constData(), &status) != 0) return std::nullopt;
    return ListingStamp{status.st_dev, status.st_ino, status.st_mtim, status.st_ctim};
}

/// The key two spellings of one name share where case is ignored.
QString Folded(QStringView name) { return name.toString().toCaseFolded(); }

/// How many entries of a few recently asked folders have each case-folded name. A folder is
/// read once and then kept up to date by this program's own renames (RenameNoReplace); it is
/// read again when its times show that something else changed it. So a run of case changes in
/// one large folder reads it once, not once per row.
class ListingCounts {
  public:
    /// The number of entries of `folder` whose name folds to `folded`; -1 when it cannot be
    /// listed.
    int Count(const QString& folder, const QString& folded) {
        const QByteArray encoded = QFile::encodeName(folder);
        const std::optional<ListingStamp> stamp = StampOf(encoded);
        if (!stamp) return -1;
        QMutexLocker lock(&m_mutex);
        auto it = m_folders.find(folder);
        if (it == m_folders.end() || !(it->stamp == *stamp)) {
            Listing listing{*stamp, {}};
            if (!Read(encoded, listing.counts)) return -1;
            if (m_folders.size() >= kKept) m_folders.clear();
            it = m_folders.insert(folder, listing);
            m_any.store(true, std::memory_order_release);
        }
        return it->counts.value(folded, 0);
    }

    /// Told of a rename this program made in `folder`, from one name to another. Nothing to
    /// do, and no lock taken, while no listing is kept (most runs, on two threads too); a
    /// listing read meanwhile is read again anyway, as its times have changed.
    void Renamed(const QString& folder, QStringView oldName, QStringView newName) {
        if (!m_any.load(std::memory_order_acquire)) return;
        QMutexLocker lock(&m_mutex);
        const auto it = m_folders.find(folder);
        if (it == m_folders.end()) return;
        const std::optional<ListingStamp> stamp = StampOf(QFile::encodeName(folder));
        if (!stamp) {
            m_folders.erase(it);
            return;
        }
        int& old = it->counts[Folded(oldName)];
        if (--old <= 0) it->counts.remove(Folded(oldName));
        ++it->counts[Folded(newName)];
        it->stamp = *stamp;
    }

  private:
    static constexpr qsizetype kKept = 8;
    struct Listing {
        ListingStamp stamp;
        QHash<QString, int> counts;
    };

    static bool Read(const QByteArray& folder, QHash<QString, int>& counts) {
        DIR* listing = ::opendir(folder.constData());
        if (listing == nullptr) return false;
        while (const dirent* entry = ::readdir(listing)) {
            const QByteArrayView name(entry->d_name);
            if (name == "." || name == "..") continue;
            ++counts[Folded(QFile::decodeName(name.toByteArray()))];
        }
        ::closedir(listing);
        return true;
    }

    QMutex m_mutex;
    QHash<QString, ListingCounts::Listing> m_folders;
    std::atomic<bool> m_any{false};  ///< whether a listing was ever kept
};

ListingCounts& Listings() {
    static ListingCounts counts;
    return counts;
}

/// `name` with every letter's case swapped; the same text when it holds no cased letter.
QString SwappedCase(QStringView name) {
    QString swapped;
    swapped.reserve(name.size());
    for (const QChar c : name) swapped += c.isUpper() ? c.toLower() : c.toUpper();
    return swapped;
}

/// For a folder on a file system whose type does not say: whether it answers a name in another
/// case with the entry of that name. Tries the first few entries that hold a cased letter; no
/// such entry, no answer (false).
bool ProbeFoldsCase(const QString& folder) {
    const QByteArray encoded = QFile::encodeName(folder);
    DIR* listing = ::opendir(encoded.constData());
    if (listing == nullptr) return false;
    QString probe;
    for (int tried = 0; tried < 64 && probe.isEmpty(); ++tried) {
        const dirent* entry = ::readdir(listing);
        if (entry == nullptr) break;
        const QString name = QFile::decodeName(QByteArray(entry->d_name));
        if (name == u"." || name == u"..") continue;
        if (SwappedCase(name) != name) probe = name;
    }
    ::closedir(listing);
    if (probe.isEmpty()) return false;
    const QString base = folder.endsWith(u'/') ? folder : folder + u'/';
    return SameEntry(base + probe, base + SwappedCase(probe));
}

}  // namespace

int RenameNoReplace(const QString& from, const QString& to) {
    // A NUL would cut the name short and rename some other entry.
    if (from.isEmpty() || to.isEmpty() || HoldsNul(from) || HoldsNul(to)) return EINVAL;
    int error = RenameAt2NoReplace(QFile::encodeName(from), QFile::encodeName(to));
    // NFS, FUSE (sshfs and the like) and 9p refuse the flag with EINVAL; kernels before 3.15
    // lack the call altogether.
    if (error == EINVAL || error == ENOSYS) error = RenameCheckThenRename(from, to);
    if (error == 0) {
        const auto [parent, oldName] = SplitPath(from);
        Listings().Renamed(parent, oldName, SplitPath(to).name);
    }
    return error;
}

int RenameCheckThenRename(const QString& from, const QString& to) {
    if (from.isEmpty() || to.isEmpty() || HoldsNul(from) || HoldsNul(to)) return EINVAL;
    const QByteArray target = QFile::encodeName(to);
    // This has a small race: something another program creates at `to` between the lstat and
    // the rename is replaced (when a folder is renamed, only an empty folder can be). The file
    // systems that bring us here offer no atomic way.
    struct stat status {};
    if (::lstat(target.constData(), &status) == 0) return EEXIST;
    if (errno != ENOENT) return errno;
    return ::rename(QFile::encodeName(from).constData(), target.constData()) == 0 ? 0 : errno;
}

bool SameEntry(const QString& a, const QString& b) {
    if (HoldsNul(a) || HoldsNul(b)) return false;
    struct stat first {};
    struct stat second {};
    if (::lstat(QFile::encodeName(a).constData(), &first) != 0) return false;
    if (::lstat(QFile::encodeName(b).constData(), &second) != 0) return false;
    if (first.st_dev == second.st_dev && first.st_ino == second.st_ino) return true;
    // Some file systems (exfat-fuse) give each spelling of a name its own inode number. Two
    // spellings of one name are then one entry when the parent lists a single entry of it: on
    // a file system that tells case apart, both would be listed.
    const auto [parentA, nameA] = SplitPath(a);
    const auto [parentB, nameB] = SplitPath(b);
    if (first.st_dev != second.st_dev || parentA != parentB) return false;
    const QString folded = Folded(nameA);
    if (Folded(nameB) != folded) return false;
    return Listings().Count(parentA, folded) == 1;
}

EntryState EntryStateOf(const struct stat& status) {
    EntryState state;
    state.owner = status.st_uid;
    state.device = status.st_dev;
    if (S_ISDIR(status.st_mode)) {
        state.kind = Occupant::Folder;
    } else if (S_ISLNK(status.st_mode)) {
        state.kind = Occupant::Link;
    } else {
        state.kind = Occupant::File;
    }
    return state;
}

EntryState ExamineEntry(const QString& path) {
    EntryState state;
    if (path.isEmpty() || HoldsNul(path)) {
        state.error = ENOENT;
        return state;
    }
    const QByteArray encoded = QFile::encodeName(path);
    struct stat status {};
    if (::lstat(encoded.constData(), &status) != 0) {
        state.error = errno;
        return state;
    }
    state = EntryStateOf(status);
    if (state.kind == Occupant::Link) {
        struct stat target {};
        state.linkToFolder = ::stat(encoded.constData(), &target) == 0 && S_ISDIR(target.st_mode);
    }
    return state;
}

EntryLook LookAtEntry(const QString& path) {
    if (path.isEmpty() || HoldsNul(path)) {
        EntryLook look;
        look.entry.error = ENOENT;
        return look;
    }
    const QByteArray encoded = QFile::encodeName(path);
    return LookAtEntryIn(AT_FDCWD, encoded.constData(), path);
}

EntryLook LookAtEntryIn(int folder, const char* name, const QString& path) {
    EntryLook look;
    struct statx status {};
    if (::statx(folder, name, AT_SYMLINK_NOFOLLOW, STATX_TYPE | STATX_UID | STATX_MNT_ID,
                &status) != 0) {
        if (errno == ENOSYS) return {ExamineEntry(path), {}};
        look.entry.error = errno;
        return look;
    }
    if ((status.stx_mask & (STATX_TYPE | STATX_UID)) != (STATX_TYPE | STATX_UID)) {
        return {ExamineEntry(path), {}};
    }
    struct stat same {};
    same.st_mode = status.stx_mode;
    same.st_uid = status.stx_uid;
    same.st_dev = makedev(status.stx_dev_major, status.stx_dev_minor);
    look.entry = EntryStateOf(same);
    if (look.entry.kind == Occupant::Link) {
        struct stat target {};
        look.entry.linkToFolder =
            ::fstatat(folder, name, &target, 0) == 0 && S_ISDIR(target.st_mode);
    }
#ifdef STATX_ATTR_MOUNT_ROOT
    if ((status.stx_mask & STATX_MNT_ID) != 0 &&
        (status.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0) {
        look.mount.known = true;
        look.mount.mountRoot = (status.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
        look.mount.mountId = status.stx_mnt_id;
    }
#endif
    return look;
}

std::optional<FolderIdentity> PlainFolderIdentity(const QString& path) {
    if (!path.startsWith(u'/') || HoldsNul(path)) return std::nullopt;
    if (path.size() > 1) {
        // No empty, "." or ".." component: each step goes one folder down.
        for (const QStringView name : QStringView(path).mid(1).tokenize(u'/')) {
            if (name.isEmpty() || name == u"." || name == u"..") return std::nullopt;
        }
    }
    open_how how{};
    how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
    how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
    const QByteArray encoded = QFile::encodeName(path);
    const long fd = ::syscall(SYS_openat2, AT_FDCWD, encoded.constData(), &how, sizeof how);
    if (fd < 0) return std::nullopt;
    const int folder = static_cast<int>(fd);
    std::optional<FolderIdentity> identity;
    struct statx status {};
    struct statfs system {};
    if (::statx(folder, "", AT_EMPTY_PATH, STATX_INO | STATX_MNT_ID, &status) == 0 &&
        (status.stx_mask & (STATX_INO | STATX_MNT_ID)) == (STATX_INO | STATX_MNT_ID) &&
        ::fstatfs(folder, &system) == 0) {
        switch (static_cast<unsigned long>(system.f_type)) {
            case 0x01021994:  // tmpfs
            case 0x858458F6:  // ramfs
            case 0xEF53:      // ext2/3/4
            case 0x58465342:  // xfs
            case 0x9123683E:  // btrfs
            case 0xF2F52010:  // f2fs
                identity = FolderIdentity{status.stx_mnt_id,
                                          makedev(status.stx_dev_major, status.stx_dev_minor),
                                          static_cast<ino_t>(status.stx_ino)};
                break;
            default:
                break;
        }
    }
    ::close(folder);
    return identity;
}

SystemRefusal::SystemRefusal(SystemPlaces places, QString guarded)
    : m_check(std::make_shared<const SystemFolderCheck>(std::move(places))),
      m_guarded(std::move(guarded)) {}

std::optional<QString> SystemRefusal::operator()(const QString& path) const {
    return Judge(path, LookAtEntry(WithoutTrailingSeparators(path)));
}

std::optional<QString> SystemRefusal::Judge(const QString& path, const EntryLook& look) const {
    if (std::optional<QString> why = m_check->Refusal(path, look.mount)) return why;
    if (m_guarded.isEmpty()) return std::nullopt;
    return ProtectedLocationRefusal(path, m_guarded);
}

bool FoldsCase(const QString& folder) {
    if (folder.isEmpty() || HoldsNul(folder)) return false;
    const QByteArray encoded = QFile::encodeName(folder);
    struct statfs system {};
    if (::statfs(encoded.constData(), &system) != 0) return false;
    switch (static_cast<unsigned long>(system.f_type)) {
        case 0x4d44:      // FAT
        case 0x2011BAB0:  // exFAT
        case 0x5346544e:  // NTFS (ntfs-3g, ntfs)
        case 0x7366746e:  // NTFS (ntfs3)
        case 0x482b:      // HFS+
        case 0x4244:      // HFS
            return true;
        case 0xEF53:      // ext2/3/4
        case 0xF2F52010:  // f2fs
            break;
        case 0x58465342:  // xfs
        case 0x9123683E:  // btrfs
        case 0x01021994:  // tmpfs
        case 0x73717368:  // squashfs
        case 0xE0F5E1E2:  // erofs
        case 0x858458F6:  // ramfs
            return false;
        default:
            // FUSE (every driver reports one type), network and stacked file systems: what
            // the folder answers tells.
            return ProbeFoldsCase(folder);
    }
    // ext4 and f2fs fold case only in folders made with the attribute.
    const int fd = ::open(encoded.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    int flags = 0;
    const bool folds = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_CASEFOLD_FL) != 0;
    ::close(fd);
    return folds;
}

RenamePlatform DefaultRenamePlatform() {
    // The running program does not move, so where its installed folder is is asked once.
    static const QString guarded = ProtectedFolderOf(RunningProgramFolder());
    RenamePlatform platform;
    platform.renameNoReplace = RenameNoReplace;
    platform.sameEntry = SameEntry;
    platform.refuse = SystemRefusal(CurrentSystemPlaces(), guarded);
    return platform;
}

FolderRenameResult RenameFolder(const QString& from, const QString& to,
                                const RenamePlatform& platform) {
    const int error = platform.renameNoReplace(from, to);
    if (error != EEXIST || from == to || !platform.sameEntry(from, to)) return {error, {}};

    // `to` is `from` under another spelling: a case-insensitive file system refuses to rename
    // a folder onto itself, so the change goes through a free name in the same parent.
    const QString parent = from.left(from.lastIndexOf(u'/') + 1);
    QString temporary;
    int step = EEXIST;
    for (int attempt = 0; attempt < 16 && step == EEXIST; ++attempt) {
        temporary = parent + TemporaryName();
        // Told first (a journal records it), so that the folder can be found there should
        // the program be killed between the two steps.
        if (const int refused = TellAboutToUseTemporary(platform, from, temporary)) {
            return {refused, {}};
        }
        step = platform.renameNoReplace(from, temporary);
    }
    if (step != 0) return {step, {}};

    step = platform.renameNoReplace(temporary, to);
    if (step == 0) return {0, {}};
    if (platform.renameNoReplace(temporary, from) == 0) return {step, {}};
    return {step, temporary};
}

int RunObserver::AboutToUseTemporary(const QString& /*from*/, const QString& /*temporary*/) {
    return 0;
}

RenamePlatform Observed(RenamePlatform base, std::shared_ptr<RunObserver> observer) {
    base.observers.push_back(std::move(observer));
    return base;
}

RenamePlatform Observed(RenamePlatform base, RunObserver& observer) {
    // Shares no ownership: the caller keeps the observer alive.
    return Observed(std::move(base),
                    std::shared_ptr<RunObserver>(std::shared_ptr<void>(), &observer));
}

int TellAboutToRename(const RenamePlatform& platform, const std::vector<FolderRow>& rows,
                      const QString& from, const QString& to) {
    for (const std::shared_ptr<RunObserver>& observer : platform.observers) {
        if (const int refused = observer->AboutToRename(rows, from, to)) return refused;
    }
    return 0;
}

int TellAboutToUseTemporary(const RenamePlatform& platform, const QString& from,
                            const QString& temporary) {
    for (const std::shared_ptr<RunObserver>& observer : platform.observers) {
        if (const int refused = observer->AboutToUseTemporary(from, temporary)) return refused;
    }
    return 0;
}

void TellRenamed(const RenamePlatform& platform, const QString& from, const QString& to,
                 const FolderRenameResult& result) {
    for (auto observer = platform.observers.rbegin(); observer != platform.observers.rend();
         ++observer) {
        (*observer)->Renamed(from, to, result);
    }
}

}  // namespace trellisane
