#pragma once

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

}  // namespace trellisane
