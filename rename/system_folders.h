#pragma once

#include <sys/types.h>

#include <QString>
#include <QStringList>
#include <optional>

namespace trellisane {

/// The places a person's own folders hang from, as SystemFolderRefusal compares them.
struct SystemPlaces {
    QString root = QStringLiteral("/");  ///< the root folder
    QStringList homes;  ///< the home folder, as $HOME and the password entry give it
};

/// The home folder of this process, from $HOME and from the password entry of its user, each
/// also by its real path (duplicates and empty ones left out). A few getenv, getpwuid_r and
/// realpath calls.
SystemPlaces CurrentSystemPlaces();

/// Why the folder at `folderPath` (with or without trailing separator) is one the system stands
/// on and must not be renamed: the root folder, a folder directly in it (/usr, /etc, /home),
/// one of `places.homes` itself, or a mount point (statx's STATX_ATTR_MOUNT_ROOT, which tells
/// a bind mount too; where the kernel does not report it, a device different from the
/// parent's). Folders below them stay renamable. Compared on the real path of the folder's
/// parent, so a path reaching it through a symbolic link is caught; the folder itself is not
/// resolved, since a rename changes the entry and not what a link points to. Nothing when the
/// folder is none of these or cannot be examined (the run then finds out). One realpath and one
/// statx, and an lstat of the parent where statx cannot tell.
std::optional<QString> SystemFolderRefusal(const QString& folderPath, const SystemPlaces& places);

/// Where one folder stands among the mounts, as one statx of it (a final symbolic link not
/// followed) tells.
struct FolderMount {
    bool known = false;      ///< the kernel told both below; false: ask again the long way
    bool mountRoot = false;  ///< a file system is mounted on it (STATX_ATTR_MOUNT_ROOT)
    quint64 mountId = 0;     ///< the mount it lies on (STATX_MNT_ID)
};

/// SystemFolderRefusal for many folders in a row, answering most of them from a statx of the
/// folder made just before instead of resolving its parent's real path: what it refuses and
/// why is exactly what SystemFolderRefusal says. Folders whose name is that of a home folder,
/// mount points, "." and "..", folders the statx could not tell of and folders directly in a
/// folder on the root folder's own mount are asked SystemFolderRefusal itself (the last after
/// one statx of the parent finds it to be the root folder). Learns the root folder's identity
/// once, when made; nothing else is kept, so a folder mounted on or moved meanwhile is seen.
class SystemFolderCheck {
  public:
    explicit SystemFolderCheck(SystemPlaces places);

    /// Why the folder at `folderPath` must not be renamed (SystemFolderRefusal), given what a
    /// statx of WithoutTrailingSeparators(folderPath) said just before (`mount`). No system
    /// call for a folder outside the root folder's mount, a statx for one on it.
    std::optional<QString> Refusal(const QString& folderPath, const FolderMount& mount) const;

    /// The places compared.
    const SystemPlaces& Places() const { return m_places; }

  private:
    SystemPlaces m_places;
    QStringList m_homeNames;  ///< the last component of every home folder's spelling
    bool m_rootKnown = false;
    quint64 m_rootMount = 0;
    dev_t m_rootDevice = 0;
    ino_t m_rootInode = 0;
};

/// `path` without its trailing separators ("/" stays "/"), as SystemFolderRefusal looks at it.
QString WithoutTrailingSeparators(QString path);

}  // namespace trellisane
