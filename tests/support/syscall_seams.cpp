#include "tests/support/syscall_seams.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QFile>
#include <QHash>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

namespace {

int g_renameError = 0;
int g_renameCalls = 0;

QByteArray g_failingListing;
int g_listingError = 0;

bool g_extraArmed = false;
dev_t g_extraDevice = 0;
ino_t g_extraInode = 0;
QByteArray g_extraParent;  // its path, without trailing separator
QByteArray g_extraName;
std::vector<char> g_extraEntry;  // a dirent with room for a name of any length
std::set<DIR*> g_extraServed;
std::set<int> g_extraServedFds;  // listings read with getdents64 that have had the entry

bool g_interrupting = false;  // ListingsInterrupted is alive
bool g_interrupted = false;   // the last getdents64 call was the one interrupted

QByteArray g_spellingFolder;  // without trailing separator; empty: not armed

template <typename Fn>
Fn Next(const char* name) {
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

QByteArray WithoutTrailingSeparators(QByteArray path) {
    while (path.size() > 1 && path.endsWith('/')) path.chop(1);
    return path;
}

/// `path` with its folder part resolved to the kernel's own name for it (the last name kept
/// as given), so that one folder compares equal however a call spells it.
QByteArray Resolved(const QByteArray& path) {
    const QByteArray bare = WithoutTrailingSeparators(path);
    const qsizetype slash = bare.lastIndexOf('/');
    if (slash < 0) return bare;
    char* real = ::realpath(slash == 0 ? "/" : bare.left(slash).constData(), nullptr);
    if (real == nullptr) return bare;
    QByteArray resolved(real);
    std::free(real);  // NOLINT(cppcoreguidelines-no-malloc): realpath's own buffer
    if (!resolved.endsWith('/')) resolved += '/';
    return resolved + bare.mid(slash + 1);
}

/// The whole path that `path` names relative to the folder open as `dir` (AT_FDCWD: as given),
/// resolved as Resolved does. Reads /proc/self/fd, so only a seam that is armed asks.
QByteArray PathAt(int dir, const char* path) {
    if (dir == AT_FDCWD || path[0] == '/') return Resolved(QByteArray(path));
    QByteArray folder(PATH_MAX, '\0');
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(dir);
    const ssize_t size = ::readlink(link.constData(), folder.data(), static_cast<size_t>(PATH_MAX));
    if (size <= 0) return QByteArray(path);
    folder.truncate(size);
    if (!folder.endsWith('/')) folder += '/';
    return WithoutTrailingSeparators(folder + path);
}

/// Whether `dir` and `path` name the extra entry of ExtraFolderEntry.
bool IsExtraEntry(int dir, const char* path) {
    return g_extraArmed && PathAt(dir, path) == Resolved(g_extraParent + '/' + g_extraName);
}

int RawStat(const char* path, struct stat* info, int flags) {
    return static_cast<int>(::syscall(SYS_newfstatat, AT_FDCWD, path, info, flags));
}

/// Where the armed folder keeps the entry `path` names in another spelling, or "" when `path`
/// is not in that folder, is there as spelt, or matches nothing.
QByteArray OtherSpelling(const char* path) {
    if (g_spellingFolder.isEmpty() || path == nullptr) return {};
    const QByteArray asked = WithoutTrailingSeparators(QByteArray(path));
    const qsizetype slash = asked.lastIndexOf('/');
    if (slash < 0 || asked.left(slash) != g_spellingFolder) return {};
    struct stat info {};
    if (RawStat(asked.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT) return {};
    const QByteArray name = asked.mid(slash + 1).toLower();
    const int fd = ::open(g_spellingFolder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return {};
    DIR* listing = ::fdopendir(fd);
    QByteArray found;
    while (const dirent* entry = listing != nullptr ? ::readdir(listing) : nullptr) {
        if (QByteArray(entry->d_name).toLower() == name)
            found = g_spellingFolder + '/' + entry->d_name;
    }
    if (listing != nullptr) ::closedir(listing);
    return found;
}

/// A stat of `path` through the armed folder's spellings.
int SpelledStat(const char* path, struct stat* info, int flags) {
    const QByteArray other = OtherSpelling(path);
    if (other.isEmpty()) return RawStat(path, info, flags);
    const int result = RawStat(other.constData(), info, flags);
    if (result == 0) info->st_ino ^= static_cast<ino_t>(qHash(QByteArray(path))) | (ino_t{1} << 40);
    return result;
}

}  // namespace

namespace trellisane::testing {

SpellingsOfOneName::SpellingsOfOneName(const QString& folder) {
    g_spellingFolder = WithoutTrailingSeparators(QFile::encodeName(folder));
}
SpellingsOfOneName::~SpellingsOfOneName() { g_spellingFolder.clear(); }

RenameAt2Fails::RenameAt2Fails(int error) {
    g_renameError = error;
    g_renameCalls = 0;
}
RenameAt2Fails::~RenameAt2Fails() { g_renameError = 0; }
int RenameAt2Fails::Calls() const { return g_renameCalls; }

ListingFails::ListingFails(const QString& path, int error) {
    g_failingListing = QFile::encodeName(path);
    g_listingError = error;
}
ListingFails::~ListingFails() {
    g_failingListing.clear();
    g_listingError = 0;
}

ListingsInterrupted::ListingsInterrupted() {
    g_interrupted = false;
    g_interrupting = true;
}
ListingsInterrupted::~ListingsInterrupted() { g_interrupting = false; }

ExtraFolderEntry::ExtraFolderEntry(const QString& parent, const QByteArray& name) {
    struct stat info {};
    g_extraParent = WithoutTrailingSeparators(QFile::encodeName(parent));
    if (::stat(g_extraParent.constData(), &info) != 0) return;
    g_extraDevice = info.st_dev;
    g_extraInode = info.st_ino;
    g_extraName = name;
    g_extraEntry.assign(offsetof(dirent, d_name) + static_cast<std::size_t>(name.size()) + 1, 0);
    auto* entry = reinterpret_cast<dirent*>(g_extraEntry.data());
    entry->d_ino = info.st_ino + 1;
    entry->d_type = DT_DIR;
    entry->d_reclen = static_cast<unsigned short>(g_extraEntry.size());
    std::memcpy(g_extraEntry.data() + offsetof(dirent, d_name), name.constData(),
                static_cast<std::size_t>(name.size()));
    g_extraServed.clear();
    g_extraServedFds.clear();
    g_extraArmed = true;
}
ExtraFolderEntry::~ExtraFolderEntry() {
    g_extraArmed = false;
    g_extraServed.clear();
    g_extraServedFds.clear();
}

}  // namespace trellisane::testing

// The C library declares these with reserved parameter names, which code of ours may not use.
// NOLINTBEGIN(readability-inconsistent-declaration-parameter-name)
extern "C" {

int renameat2(int oldDir, const char* oldPath, int newDir, const char* newPath,
              unsigned int flags) __THROW {
    if (g_renameError != 0) {
        ++g_renameCalls;
        errno = g_renameError;
        return -1;
    }
    if (!OtherSpelling(newPath).isEmpty()) {
        errno = EEXIST;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_renameat2, oldDir, oldPath, newDir, newPath, flags));
}

// Opening a folder for listing, by whole path or by name in its parent's descriptor, fails as
// the armed listing says; an O_PATH look-up, which lists nothing, is let through.
int openat(int dir, const char* path, int flags, ...) {
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list arguments;
        va_start(arguments, flags);
        mode = static_cast<mode_t>(va_arg(arguments, unsigned int));
        va_end(arguments);
    }
    if (g_listingError != 0 && (flags & O_PATH) == 0 &&
        PathAt(dir, path) == Resolved(g_failingListing)) {
        errno = g_listingError;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_openat, dir, path, flags, mode));
}

DIR* opendir(const char* path) {
    static const auto real = Next<DIR* (*)(const char*)>("opendir");
    if (g_listingError != 0 && Resolved(QByteArray(path)) == Resolved(g_failingListing)) {
        errno = g_listingError;
        return nullptr;
    }
    return real(path);
}

int closedir(DIR* dir) {
    static const auto real = Next<int (*)(DIR*)>("closedir");
    g_extraServed.erase(dir);
    return real(dir);
}

// A listing read straight from the kernel ends with the extra entry as a readdir one does.
ssize_t getdents64(int fd, void* buffer, size_t length) __THROW {
    if (g_interrupting && !std::exchange(g_interrupted, !g_interrupted)) {
        errno = EINTR;
        return -1;
    }
    const auto size = static_cast<ssize_t>(::syscall(SYS_getdents64, fd, buffer, length));
    if (size != 0 || !g_extraArmed || g_extraServedFds.count(fd) != 0) return size;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_dev != g_extraDevice || info.st_ino != g_extraInode) {
        return 0;
    }
    constexpr std::size_t kNameAt = offsetof(struct dirent64, d_name);
    const std::size_t record = (kNameAt + static_cast<std::size_t>(g_extraName.size()) + 1 + 7) &
                               ~std::size_t{7};
    if (record > length) {
        errno = EINVAL;
        return -1;
    }
    auto* bytes = static_cast<char*>(buffer);
    std::memset(bytes, 0, record);
    const auto inode = static_cast<ino64_t>(info.st_ino + 1);
    const auto reclen = static_cast<unsigned short>(record);
    const unsigned char type = DT_DIR;
    std::memcpy(bytes + offsetof(struct dirent64, d_ino), &inode, sizeof inode);
    std::memcpy(bytes + offsetof(struct dirent64, d_reclen), &reclen, sizeof reclen);
    std::memcpy(bytes + offsetof(struct dirent64, d_type), &type, sizeof type);
    std::memcpy(bytes + kNameAt, g_extraName.constData(),
                static_cast<std::size_t>(g_extraName.size()));
    g_extraServedFds.insert(fd);
    return static_cast<ssize_t>(record);
}

int close(int fd) {
    static const auto real = Next<int (*)(int)>("close");
    if (g_extraArmed) g_extraServedFds.erase(fd);
    return real(fd);
}

struct dirent* readdir(DIR* dir) {
    static const auto real = Next<struct dirent* (*)(DIR*)>("readdir");
    struct dirent* entry = real(dir);
    if (entry != nullptr || errno != 0 || !g_extraArmed || g_extraServed.count(dir) != 0) {
        return entry;
    }
    struct stat info {};
    if (::fstat(::dirfd(dir), &info) != 0 || info.st_dev != g_extraDevice ||
        info.st_ino != g_extraInode) {
        return nullptr;
    }
    g_extraServed.insert(dir);
    return reinterpret_cast<dirent*>(g_extraEntry.data());
}

int stat(const char* path, struct stat* info) __THROW {
    if (g_extraArmed) {
        const QByteArray asked = WithoutTrailingSeparators(QByteArray(path));
        if (asked == g_extraParent + '/' + g_extraName) path = g_extraParent.constData();
    }
    return SpelledStat(path, info, 0);
}

int lstat(const char* path, struct stat* info) __THROW {
    return SpelledStat(path, info, AT_SYMLINK_NOFOLLOW);
}

// A look-up by name in a folder's descriptor answers as the look-up of the whole path would.
int fstatat(int dir, const char* path, struct stat* info, int flags) __THROW {
    if (IsExtraEntry(dir, path)) return RawStat(g_extraParent.constData(), info, flags);
    if (g_spellingFolder.isEmpty()) {
        return static_cast<int>(::syscall(SYS_newfstatat, dir, path, info, flags));
    }
    if (dir == AT_FDCWD || path[0] == '/') return SpelledStat(path, info, flags);
    QByteArray folder(PATH_MAX, '\0');
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(dir);
    const ssize_t size = ::readlink(link.constData(), folder.data(), static_cast<size_t>(PATH_MAX));
    if (size <= 0) return static_cast<int>(::syscall(SYS_newfstatat, dir, path, info, flags));
    folder.truncate(size);
    return SpelledStat((folder + '/' + path).constData(), info, flags);
}

}  // extern "C"
// NOLINTEND(readability-inconsistent-declaration-parameter-name)
