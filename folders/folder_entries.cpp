#include "folder_entries.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <QFile>
#include <cstdlib>

namespace trellisane {

bool IsFolder(const QByteArray& nativePath, struct stat& info) {
    return stat(nativePath.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsFolder(const QByteArray& nativePath) {
    struct stat info;
    return IsFolder(nativePath, info);
}

EntryKind KindOf(int dirFd, const dirent* entry) {
    struct stat info;
    switch (entry->d_type) {
        case DT_DIR:
            return EntryKind::Folder;
        case DT_LNK:
            break;
        case DT_UNKNOWN:
            // Some file systems leave the type to a stat of their own.
            if (fstatat(dirFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
                return EntryKind::NotFolder;
            }
            if (S_ISDIR(info.st_mode)) return EntryKind::Folder;
            if (!S_ISLNK(info.st_mode)) return EntryKind::NotFolder;
            break;
        default:
            return EntryKind::NotFolder;
    }
    // A link: a folder only when what it points at is one.
    if (fstatat(dirFd, entry->d_name, &info, 0) != 0 || !S_ISDIR(info.st_mode)) {
        return EntryKind::NotFolder;
    }
    return EntryKind::LinkToFolder;
}

QString RealPathOf(const QString& path) {
    char* real = ::realpath(QFile::encodeName(path).constData(), nullptr);
    if (real == nullptr) return {};
    QString text = QFile::decodeName(QByteArray(real));
    std::free(real);  // NOLINT(cppcoreguidelines-no-malloc): realpath's own buffer
    return text;
}

}  // namespace trellisane
