// The disk side of renaming: one folder renamed without ever replacing anything.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QAtomicInteger>
#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <system_error>

#include "folders/protected_location.h"
#include "rename/start_renaming.h"

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

}  // namespace

int RenameNoReplace(const QString& from, const QString& to) {
    // A NUL would cut the name short and rename some other entry.
    if (from.isEmpty() || to.isEmpty() || HoldsNul(from) || HoldsNul(to)) return EINVAL;
    const int error = RenameAt2NoReplace(QFile::encodeName(from), QFile::encodeName(to));
    // NFS, FUSE (sshfs and the like) and 9p refuse the flag with EINVAL; kernels before 3.15
    // lack the call altogether.
    if (error == EINVAL || error == ENOSYS) return RenameCheckThenRename(from, to);
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
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
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
    state.owner = status.st_uid;
    state.device = status.st_dev;
    if (S_ISDIR(status.st_mode)) {
        state.kind = Occupant::Folder;
    } else if (S_ISLNK(status.st_mode)) {
        state.kind = Occupant::Link;
        struct stat target {};
        state.linkToFolder = ::stat(encoded.constData(), &target) == 0 && S_ISDIR(target.st_mode);
    } else {
        state.kind = Occupant::File;
    }
    return state;
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
        default:
            return false;
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
    if (!guarded.isEmpty()) {
        platform.refuse = [](const QString& path) {
            return ProtectedLocationRefusal(path, guarded);
        };
    }
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
        step = platform.renameNoReplace(from, temporary);
    }
    if (step != 0) return {step, {}};

    step = platform.renameNoReplace(temporary, to);
    if (step == 0) return {0, {}};
    if (platform.renameNoReplace(temporary, from) == 0) return {step, {}};
    return {step, temporary};
}

}  // namespace trellisane
