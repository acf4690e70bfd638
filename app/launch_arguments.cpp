// The window's command line: which folders to list, and --help and --version, read before the
// program looks for a display so that both work in a terminal without one.

#include "app/launch_arguments.h"

#include <QDir>
#include <QRegularExpression>
#include <QUrl>

namespace trellisane {

namespace {

constexpr char kUsage[] =
    "Usage: trellisane [--subfolders] [FOLDER...]\n"
    "Opens the window that renames many folders at once and lists each FOLDER in it, as\n"
    "\"Add Folder/s\" does: each one with the folders beneath it first, then one preview.\n"
    "A FOLDER is a path (relative to the current folder) or a file:// address. When a\n"
    "Trellisane window is already open on this display, the folders join that window.\n"
    "\n"
    "  --subfolders  list every folder beneath each FOLDER as well, and tick\n"
    "                \"Add subfolders when adding folder\"\n"
    "  -h, --help    show this help and exit\n"
    "  --version     show the version and exit\n";

/// A text that begins with a URI scheme and "//", e.g. "sftp://host/x".
bool LooksLikeAddress(const QString& argument) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+://"));
    return scheme.match(argument).hasMatch();
}

}  // namespace

QString ResolveLaunchPath(const QString& argument, const QString& workingFolder) {
    if (argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(argument);
        const QString host = url.host();
        if (!url.isValid() || !(host.isEmpty() || host == QLatin1String("localhost"))) {
            return argument;
        }
        const QString path = url.path(QUrl::FullyDecoded);
        if (!path.startsWith(QLatin1Char('/'))) return argument;
        return QDir::cleanPath(path);
    }
    if (LooksLikeAddress(argument)) return argument;
    return QDir::cleanPath(QDir(workingFolder).absoluteFilePath(argument));
}

LaunchArguments ParseLaunchArguments(const QStringList& arguments, const QString& workingFolder) {
    LaunchArguments result;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) ||
            argument == QLatin1String("-")) {
            if (!argument.isEmpty()) {
                result.request.folders << ResolveLaunchPath(argument, workingFolder);
            }
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--subfolders")) {
            result.request.subfolders = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            result.exitStatus = 0;
            result.out = QString::fromLatin1(kUsage);
            return result;
        } else if (argument == QLatin1String("--version")) {
            result.exitStatus = 0;
            result.out = QStringLiteral("trellisane " TRELLISANE_VERSION "\n");
            return result;
        } else {
            result.exitStatus = 2;
            result.err = QStringLiteral(
                             "trellisane: unknown option '%1'\n"
                             "Try 'trellisane --help' for more information.\n")
                             .arg(argument);
            return result;
        }
    }
    return result;
}

}  // namespace trellisane
