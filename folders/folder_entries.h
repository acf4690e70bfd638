#pragma once

#include <dirent.h>
#include <sys/stat.h>

#include <QByteArray>
#include <QHash>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <vector>

namespace trellisane {

/// What one directory entry is, as far as listing folders goes.
enum class EntryKind { NotFolder, Folder, LinkToFolder };

/// The kind of the entry `name` of type `type` (a DT_ value) in the open directory `dirFd`:
/// from the entry's own type where the file system gives it, with a stat only for links and
/// unknown types. A dangling link, or a link to anything but a folder, is NotFolder. At most
/// two stat calls.
EntryKind KindOf(int dirFd, const char* name, unsigned char type);

/// KindOf for an entry read through a directory stream.
inline EntryKind KindOf(int dirFd, const dirent* entry) {
    return KindOf(dirFd, entry->d_name, entry->d_type);
}

/// Whether `nativePath` (in the file system's encoding) names a folder, a symbolic link to one
/// included; `info` receives what stat gave. False on any error and for a dangling link or a
/// link to anything but a folder. One stat call.
bool IsFolder(const QByteArray& nativePath, struct stat& info);

/// IsFolder without the stat.
bool IsFolder(const QByteArray& nativePath);

/// Calls `visit(entry)` for every entry of `dir` but "." and "..", in the file system's order,
/// until `visit` returns false. Returns 0, or the errno value of a read that failed part-way.
template <typename Visit>
int ForEachEntry(DIR* dir, Visit&& visit) {
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir);
        if (entry == nullptr) return errno;
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        if (!visit(entry)) return 0;
    }
}

/// Calls `visit(name, type)` for every entry of the folder open as `fd` but "." and "..", in
/// the file system's order, until `visit` returns false: the names (NUL-terminated) and DT_
/// types read straight from the kernel with getdents64 into `buffer`, which the caller keeps
/// for the next folder, without a directory stream's allocation and checks. `blockSize` is the
/// folder's st_blksize: reads are as large as the C library's directory streams make them for
/// it. A read a signal interrupts is made again. Returns 0, or the errno value of a read that
/// failed part-way. Leaves `fd` open.
template <typename Visit>
int ForEachEntryOf(int fd, std::vector<char>& buffer, long blockSize, Visit&& visit) {
    constexpr std::size_t kSmallest = 32768;
    constexpr std::size_t kLargest = 1048576;
    const std::size_t wanted =
        std::min(std::max(static_cast<std::size_t>(std::max(blockSize, 0L)), kSmallest), kLargest);
    if (buffer.size() < wanted) buffer.resize(wanted);
    constexpr std::size_t kReclenAt = offsetof(struct dirent64, d_reclen);
    constexpr std::size_t kTypeAt = offsetof(struct dirent64, d_type);
    constexpr std::size_t kNameAt = offsetof(struct dirent64, d_name);
    for (;;) {
        const ssize_t size = ::getdents64(fd, buffer.data(), buffer.size());
        if (size < 0) {
            // A signal came before anything was read (FUSE, network file systems): the
            // folder's place is where it was, so the same read is made again.
            if (errno == EINTR) continue;
            return errno;
        }
        if (size == 0) return 0;
        for (std::size_t at = 0; at < static_cast<std::size_t>(size);) {
            const char* record = buffer.data() + at;
            unsigned short length = 0;
            std::memcpy(&length, record + kReclenAt, sizeof length);
            if (length == 0) return EIO;  // a record the kernel would never give
            at += length;
            const char* name = record + kNameAt;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
            if (!visit(name, static_cast<unsigned char>(record[kTypeAt]))) return 0;
        }
    }
}

/// The real path of `path` (links and "." / ".." resolved by realpath), or "" when it cannot
/// be resolved. One realpath call, or none while a RealPathSnapshot on this thread has seen
/// the same path.
QString RealPathOf(const QString& path);

/// For a reader that takes the disk as it stands at one moment and changes nothing (a plan of
/// a run): while one is alive, RealPathOf on the same thread answers a path it has already
/// resolved in this snapshot from memory, so asking about every folder of one parent resolves
/// the parent once. Snapshots nest; the innermost answers. Keeps at most a few thousand paths.
class RealPathSnapshot {
  public:
    RealPathSnapshot();
    ~RealPathSnapshot();
    RealPathSnapshot(const RealPathSnapshot&) = delete;
    RealPathSnapshot& operator=(const RealPathSnapshot&) = delete;

    /// The snapshot alive on this thread, or nullptr.
    static RealPathSnapshot* Current();
    /// The remembered answer for `path`, or nullptr.
    const QString* Find(const QString& path) const;
    void Remember(const QString& path, const QString& real);

  private:
    RealPathSnapshot* m_outer;
    QHash<QString, QString> m_known;
};

}  // namespace trellisane
