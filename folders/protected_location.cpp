#include "folders/protected_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "folders/path_separator.h"

#ifndef TRELLISANE_INSTALL_PROGRAM_DIR
#define TRELLISANE_INSTALL_PROGRAM_DIR "lib/trellisane"
#endif
#ifndef TRELLISANE_INSTALL_BIN_DIR
#define TRELLISANE_INSTALL_BIN_DIR "bin"
#endif

namespace trellisane {

namespace {

/// `path` without trailing separators ("/" stays "/").
QString Trimmed(QString path) {
    while (path.size() > 1 && path.endsWith(kPathSeparator)) path.chop(1);
    return path;
}

/// Whether `path` is `folder` or lies below it, by whole components.
bool IsAtOrBelow(const QString& path, const QString& folder) {
    if (folder == QStringLiteral("/")) return path.startsWith(kPathSeparator);
    return path == folder || (path.startsWith(folder) && path[folder.size()] == kPathSeparator);
}

}  // namespace

QString ProgramFolderOf(const QString& executable) {
    const QString real = QFileInfo(executable).canonicalFilePath();
    return real.isEmpty() ? QString() : QFileInfo(real).path();
}

QString RunningProgramFolder() { return ProgramFolderOf(QStringLiteral("/proc/self/exe")); }

bool IsInstalledProgramFolder(const QString& programFolder) {
    const QString folder = Trimmed(programFolder);
    const QString programDir = QStringLiteral("/" TRELLISANE_INSTALL_PROGRAM_DIR);
    if (!folder.endsWith(programDir)) return false;
    const QString prefix = folder.chopped(programDir.size());
    for (const char* name : {"trellisane", "trellisane-cli"}) {
        const QString launcher =
            prefix + QStringLiteral("/" TRELLISANE_INSTALL_BIN_DIR "/") + QLatin1String(name);
        const QString target = QFileInfo(launcher).canonicalFilePath();
        if (!target.isEmpty() && target == folder + kPathSeparator + QLatin1String(name)) {
            return true;
        }
    }
    return false;
}

QString ProtectedFolderOf(const QString& programFolder) {
    return IsInstalledProgramFolder(programFolder) ? Trimmed(programFolder) : QString();
}

std::optional<QString> ProtectedLocationRefusal(const QString& folderPath,
                                                const QString& protectedFolder) {
    if (protectedFolder.isEmpty() || folderPath.isEmpty()) return std::nullopt;
    const QString path = Trimmed(folderPath);
    const qsizetype cut = path.lastIndexOf(kPathSeparator);
    const QString parent = cut <= 0 ? QStringLiteral("/") : path.left(cut);
    const QString realParent = QFileInfo(parent).canonicalFilePath();
    // An unresolvable parent (a folder that is gone) is judged by its path as written.
    const QString base = realParent.isEmpty() ? QDir::cleanPath(parent) : realParent;
    const QString name = path.mid(cut + 1);
    const QString real = cut < 0                       ? path
                         : base == QStringLiteral("/") ? base + name
                                                       : base + kPathSeparator + name;
    const QString guarded = Trimmed(protectedFolder);
    if (!IsAtOrBelow(real, guarded) && !IsAtOrBelow(path, guarded)) return std::nullopt;
    return QCoreApplication::translate(
               "Trellisane",
               "The folder lies inside the installed program's own folder %1, which Trellisane "
               "never changes. To try the samples, copy that folder somewhere of your own and "
               "start the trellisane program inside the copy.")
        .arg(guarded);
}

}  // namespace trellisane
