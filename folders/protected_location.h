#pragma once

#include <QString>
#include <optional>

namespace trellisane {

/// The folder that holds the program file `executable`, found through its real path: symbolic
/// links on the way (bin/trellisane leading into the installed program's folder, /proc/self/exe)
/// are followed, so the folder is the one the program file really lies in. No trailing
/// separator; "" when `executable` cannot be resolved. One realpath call.
QString ProgramFolderOf(const QString& executable);

/// The running program's own folder: ProgramFolderOf("/proc/self/exe"); "" without /proc.
QString RunningProgramFolder();

/// Whether `programFolder` (a real path) is an installed copy of the program rather than a
/// build folder or a copy of one: it is PREFIX/lib/trellisane and PREFIX/bin/trellisane or
/// PREFIX/bin/trellisane-cli leads to the program file inside it, the layout that
/// `cmake --install` and the Debian package lay out under any prefix (/usr, /usr/local, a
/// person's own). A few lstat and realpath calls.
bool IsInstalledProgramFolder(const QString& programFolder);

/// The folder whose contents a run must never change: `programFolder` when it is an installed
/// copy (IsInstalledProgramFolder), else "".
QString ProtectedFolderOf(const QString& programFolder);

/// Why the folder at `folderPath` (with or without trailing separator) must not be renamed:
/// it is `protectedFolder` or lies inside it. Compared by whole components on the real path of
/// the folder's parent, so a path reaching the folder through a symbolic link (/lib is one on
/// Debian) is caught as well; the folder itself is not resolved, since a rename changes the
/// entry and not what a link points to. Nothing when `protectedFolder` is "". One realpath.
std::optional<QString> ProtectedLocationRefusal(const QString& folderPath,
                                                const QString& protectedFolder);

}  // namespace trellisane
