#include "samples.h"

#include <dirent.h>
#include <string.h>
#include <sys/stat.h>

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <utility>

#include "folder_list.h"
#include "path_separator.h"

namespace trellisane {

namespace {

QString Describe(int error) {
    char buffer[256];
    return QString::fromLocal8Bit(strerror_r(error, buffer, sizeof buffer));
}

/// True when the entry is a folder or a link to one; a dangling link is not.
bool IsFolderEntry(DIR* dir, const dirent* entry) {
    if (entry->d_type == DT_DIR) return true;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) return false;
    struct stat info;
    return fstatat(dirfd(dir), entry->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

QString SamplesPath(const QString& programFolder) {
    QString folder = programFolder;
    while (folder.endsWith(kPathSeparator)) folder.chop(1);
    return folder + kPathSeparator + QStringLiteral("Samples") + kPathSeparator;
}

SampleFolder::SampleFolder(QString samplesPath) : m_path(std::move(samplesPath)) {}

SampleFolder::~SampleFolder() {
    if (m_dir != nullptr) closedir(static_cast<DIR*>(m_dir));
}

QString SampleFolder::Open() {
    if (m_dir != nullptr) closedir(static_cast<DIR*>(m_dir));
    m_dir = opendir(QFile::encodeName(m_path).constData());
    m_openError = m_dir == nullptr ? Describe(errno) : QString();
    return m_openError;
}

QString SampleFolder::List() {
    if (m_dir == nullptr && m_openError.isEmpty()) Open();  // List() without Open()
    if (m_dir == nullptr) return m_openError;
    DIR* dir = static_cast<DIR*>(m_dir);
    QStringList names;
    int error = 0;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir);
        if (entry == nullptr) {
            error = errno;
            break;
        }
        if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0) continue;
        if (!IsFolderEntry(dir, entry)) continue;
        const QByteArray raw(entry->d_name);
        const QString name = QString::fromUtf8(raw);
        if (name.toUtf8() != raw) continue;  // not valid UTF-8
        names.push_back(name);
    }
    closedir(dir);
    m_dir = nullptr;

    // The platform's listing order is arbitrary here; binary order keeps the rows stable.
    std::sort(names.begin(), names.end(), BinaryLess);
    m_rows.clear();
    m_rows.reserve(names.size());
    for (const QString& name : names) m_rows.push_back(m_path + name + kPathSeparator);
    m_listed = error == 0;
    return error == 0 ? QString() : Describe(error);
}

}  // namespace trellisane
