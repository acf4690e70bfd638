// The folders the system stands on, which no run renames.

#include "rename/system_folders.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QFile>
#include <QStringList>
#include <cstdlib>
#include <utility>
#include <vector>

#include "folders/folder_entries.h"
#include "folders/path_separator.h"
#include "shell/texts.h"

namespace trellisane {

QString WithoutTrailingSeparators(QString path) {
    while (path.size() > 1 && path.endsWith(u'/')) path.chop(1);
    return path;
}

namespace {

void AddHome(QStringList& homes, const QString& home) {
    if (home.isEmpty() || !home.startsWith(u'/')) return;
    for (const QString& spelling : {WithoutTrailingSeparators(home), RealPathOf(home)}) {
        if (!spelling.isEmpty() && spelling != u"/" && !homes.contains(spelling)) {
            homes << spelling;
        }
    }
}

/// Whether a file system is mounted on `path`: 1 yes, 0 no, -1 the kernel does not say.
int MountRoot(const QByteArray& path) {
#ifdef STATX_ATTR_MOUNT_ROOT
    struct statx status {};
    if (::statx(AT_FDCWD, path.constData(), AT_SYMLINK_NOFOLLOW, STATX_TYPE, &status) != 0) {
        return -1;
    }
    if ((status.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) == 0) return -1;
    return (status.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0 ? 1 : 0;
#else
    (void)path;
    return -1;
#endif
}

}  // namespace

SystemPlaces CurrentSystemPlaces() {
    SystemPlaces places;
    AddHome(places.homes, QFile::decodeName(qgetenv("HOME")));
    std::vector<char> buffer(16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr) {
        AddHome(places.homes, QFile::decodeName(QByteArray(found->pw_dir)));
    }
    return places;
}

std::optional<QString> SystemFolderRefusal(const QString& folderPath, const SystemPlaces& places) {
    const QString path = WithoutTrailingSeparators(folderPath);
    if (path.isEmpty() || path.contains(QChar(u'\0'))) return std::nullopt;
    if (path == places.root) {
        return Trellisane::tr("It is the root folder, which the system stands on.");
    }
    if (!path.contains(kPathSeparator)) return std::nullopt;
    const auto [parent, name] = SplitPath(path);
    const QString realParent = RealPathOf(parent);
    if (realParent.isEmpty()) return std::nullopt;
    const QString located = (realParent == u"/" ? QString() : realParent) + u'/' + name.toString();
    if (realParent == places.root) {
        return Trellisane::tr(
            "It lies directly in the root folder, where the system keeps its own folders.");
    }
    if (places.homes.contains(path) || places.homes.contains(located)) {
        return Trellisane::tr("It is your home folder.");
    }
    const QByteArray encoded = QFile::encodeName(path);
    int mounted = MountRoot(encoded);
    if (mounted < 0) {
        struct stat folder {};
        struct stat above {};
        mounted = ::lstat(encoded.constData(), &folder) == 0 && S_ISDIR(folder.st_mode) &&
                          ::stat(QFile::encodeName(parent).constData(), &above) == 0 &&
                          folder.st_dev != above.st_dev
                      ? 1
                      : 0;
    }
    if (mounted == 1) {
        return Trellisane::tr("A file system is mounted on it; unmount it first.");
    }
    return std::nullopt;
}

SystemFolderCheck::SystemFolderCheck(SystemPlaces places) : m_places(std::move(places)) {
    for (const QString& home : m_places.homes) {
        const QString trimmed = WithoutTrailingSeparators(home);
        m_homeNames << trimmed.mid(trimmed.lastIndexOf(kPathSeparator) + 1);
    }
    // The parent of a folder is compared with the root folder by identity only where the
    // root folder is named by its real path, as the real path of a parent is.
    const QByteArray root = QFile::encodeName(m_places.root);
    struct statx status {};
    if (!m_places.root.isEmpty() && RealPathOf(m_places.root) == m_places.root &&
        ::statx(AT_FDCWD, root.constData(), 0, STATX_INO | STATX_MNT_ID, &status) == 0 &&
        (status.stx_mask & (STATX_INO | STATX_MNT_ID)) == (STATX_INO | STATX_MNT_ID)) {
        m_rootKnown = true;
        m_rootMount = status.stx_mnt_id;
        m_rootDevice = makedev(status.stx_dev_major, status.stx_dev_minor);
        m_rootInode = status.stx_ino;
    }
}

std::optional<QString> SystemFolderCheck::Refusal(const QString& folderPath,
                                                  const FolderMount& mount) const {
    const QString path = WithoutTrailingSeparators(folderPath);
    if (path.isEmpty() || path.contains(QChar(u'\0'))) return std::nullopt;
    if (!m_rootKnown || !mount.known || mount.mountRoot || path == m_places.root ||
        !path.contains(kPathSeparator)) {
        return SystemFolderRefusal(path, m_places);
    }
    const auto [parent, name] = SplitPath(path);
    // A home folder is found by its path or its parent's real path, both ending in its name.
    if (name == u"." || name == u".." || m_homeNames.contains(name)) {
        return SystemFolderRefusal(path, m_places);
    }
    // A folder on which nothing is mounted lies on the mount of its parent; the root
    // folder's parent-to-be lies on the root folder's mount.
    if (mount.mountId != m_rootMount) return std::nullopt;
    struct statx status {};
    if (::statx(AT_FDCWD, QFile::encodeName(parent).constData(), 0, STATX_INO | STATX_MNT_ID,
                &status) != 0 ||
        (status.stx_mask & (STATX_INO | STATX_MNT_ID)) != (STATX_INO | STATX_MNT_ID) ||
        (status.stx_mnt_id == m_rootMount && status.stx_ino == m_rootInode &&
         makedev(status.stx_dev_major, status.stx_dev_minor) == m_rootDevice)) {
        return SystemFolderRefusal(path, m_places);
    }
    return std::nullopt;
}

}  // namespace trellisane
