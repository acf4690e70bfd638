#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace trellisane {

/// The folders a start (or a second start, handed over) asks the window to list.
struct LaunchRequest {
    /// Each folder's sub-folders too, with "Add subfolders when adding folder" ticked.
    bool subfolders = false;
    /// Absolute, cleaned local paths, in the order given; a text that names no local path (an
    /// address of another scheme or host) is kept as given, so the window names it as no folder.
    QStringList folders;
};

/// What reading the command line ends with: either a request for the window, or an exit with
/// texts for the terminal (help, version, a usage error).
struct LaunchArguments {
    LaunchRequest request;
    std::optional<int> exitStatus;  // set: print `out` and `err` and leave with it
    QString out;                    // for standard output
    QString err;                    // for standard error
};

/// Reads `trellisane [--subfolders] [FOLDER...]` (`arguments` without the program's name).
/// `-h`/`--help` and `--version` end at once with status 0; an unknown option ends with status 2
/// and a usage line; `--` ends the options. Relative paths are made absolute against
/// `workingFolder`; `file:` addresses become paths; empty arguments are skipped. Touches no disk.
/// O(total length).
LaunchArguments ParseLaunchArguments(const QStringList& arguments, const QString& workingFolder);

/// One FOLDER argument as an absolute, cleaned local path: a `file:` address (of no host or
/// "localhost") becomes its path, a relative path is taken from `workingFolder`. A text of
/// another scheme, or a `file:` address of another host, comes back unchanged. Touches no disk.
QString ResolveLaunchPath(const QString& argument, const QString& workingFolder);

}  // namespace trellisane
