#include "folder_entries.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace trellisane {

bool IsFolder(const QByteArray& nativePath, struct stat& info) {
    return stat(nativePath.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsFolder(const QByteArray& nativePath) {
    struct stat info;
    return IsFolder(nativePath, info);
}

EntryKind KindOf(int dirFd, const char* name, unsigned char type) {
    struct stat info;
    switch (type) {
        case DT_DIR:
            return EntryKind::Folder;
        case DT_LNK:
            break;
        case DT_UNKNOWN:
            // Some file systems leave the type to a stat of their own.
            if (fstatat(dirFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return EntryKind::NotFolder;
            if (S_ISDIR(info.st_mode)) return EntryKind::Folder;
            if (!S_ISLNK(info.st_mode)) return EntryKind::NotFolder;
            break;
        default:
            return EntryKind::NotFolder;
    }
    // A link: a folder only when what it points at is one.
    if (fstatat(dirFd, name, &info, 0) != 0 || !S_ISDIR(info.st_mode)) {
        return EntryKind::NotFolder;
    }
    return EntryKind::LinkToFolder;
}

namespace {

thread_local RealPathSnapshot* t_snapshot = nullptr;
constexpr qsizetype kSnapshotPaths = 4096;

QString RealPathResolved(const QString& path) {
    const QByteArray encoded = QFile::encodeName(path);
    // The kernel's own name for what the path reaches: one walk of the path, where realpath
    // looks up every leading part of it in turn. Wherever /proc cannot say (not mounted, no
    // descriptor to be had, a folder removed meanwhile), realpath answers.
    const int fd = ::open(encoded.constData(), O_PATH | O_CLOEXEC);
    if (fd >= 0) {
        char link[32];
        std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t size = ::readlink(link, target.data(), static_cast<size_t>(target.size()));
        ::close(fd);
        if (size > 0 && size < target.size() && target.startsWith('/')) {
            target.truncate(size);
            if (!target.endsWith(" (deleted)")) return QFile::decodeName(target);
        }
    }
    char* real = ::realpath(encoded.constData(), nullptr);
    if (real == nullptr) return {};
    QString text = QFile::decodeName(QByteArray(real));
    std::free(real);  // NOLINT(cppcoreguidelines-no-malloc): realpath's own buffer
    return text;
}

}  // namespace

RealPathSnapshot::RealPathSnapshot() : m_outer(t_snapshot) { t_snapshot = this; }

RealPathSnapshot::~RealPathSnapshot() { t_snapshot = m_outer; }

RealPathSnapshot* RealPathSnapshot::Current() { return t_snapshot; }

const QString* RealPathSnapshot::Find(const QString& path) const {
    const auto it = m_known.constFind(path);
    return it == m_known.cend() ? nullptr : &*it;
}

void RealPathSnapshot::Remember(const QString& path, const QString& real) {
    // The folders of one parent come together, so a full memory is simply begun again.
    if (m_known.size() >= kSnapshotPaths) m_known.clear();
    m_known.insert(path, real);
}

QString RealPathOf(const QString& path) {
    RealPathSnapshot* const snapshot = RealPathSnapshot::Current();
    if (snapshot != nullptr) {
        if (const QString* known = snapshot->Find(path)) return *known;
    }
    QString text = RealPathResolved(path);
    if (snapshot != nullptr) snapshot->Remember(path, text);
    return text;
}

}  // namespace trellisane
