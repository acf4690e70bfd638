#include "samples.h"

#include <dirent.h>
#include <string.h>
#include <sys/stat.h>

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <utility>

#include "folder_entries.h"
#include "folder_list.h"
#include "path_separator.h"
#include "shell/error_text.h"

namespace trellisane {

QString SamplesPath(const QString& programFolder) {
    QString folder = programFolder;
    while (folder.endsWith(kPathSeparator)) folder.chop(1);
    return folder + kPathSeparator + QStringLiteral("Samples") + kPathSeparator;
}

SampleFolder::SampleFolder(QString samplesPath) : m_path(std::move(samplesPath)) {}

SampleFolder::~SampleFolder() {
    if (m_dir != nullptr) closedir(static_cast<DIR*>(m_dir));
}

std::optional<QString> SampleFolder::Open() {
    if (m_dir != nullptr) closedir(static_cast<DIR*>(m_dir));
    m_dir = opendir(QFile::encodeName(m_path).constData());
    m_openError = m_dir == nullptr ? std::optional(DescribeError(errno)) : std::nullopt;
    return m_openError;
}

std::optional<QString> SampleFolder::List() {
    if (m_dir == nullptr && !m_openError) Open();  // List() without Open()
    if (m_dir == nullptr) return m_openError;
    DIR* dir = static_cast<DIR*>(m_dir);
    QStringList names;
    const int error = ForEachEntry(dir, [&](const dirent* entry) {
        if (KindOf(dirfd(dir), entry) == EntryKind::NotFolder) return true;
        const QByteArray raw(entry->d_name);
        const QString name = QString::fromUtf8(raw);
        if (name.toUtf8() == raw)
            names.push_back(name);  // else not valid UTF-8: no row can name it
        return true;
    });
    closedir(dir);
    m_dir = nullptr;

    // The platform's listing order is arbitrary here; binary order keeps the rows stable.
    std::sort(names.begin(), names.end(), BinaryLess);
    m_rows.clear();
    m_rows.reserve(names.size());
    for (const QString& name : names) m_rows.push_back(m_path + name + kPathSeparator);
    m_listed = error == 0;
    if (error != 0) return DescribeError(error);
    return std::nullopt;
}

}  // namespace trellisane
