#include "engine/text_helpers.h"

#include <sys/stat.h>

#include <QFile>

#include "engine/characters.h"

namespace trellisane {

namespace {

/// True when the character `ch` (one or two code units) occurs as a whole character of `set`.
bool SetHolds(QStringView set, QStringView ch) {
    for (qsizetype i = 0; i < set.size();) {
        const qsizetype length = CharLength(set, i);
        if (set.mid(i, length) == ch) return true;
        i += length;
    }
    return false;
}

}  // namespace

QString KeepOrRemoveChars(const QString& text, const QString& set, bool keep) {
    QString result;
    result.reserve(text.size());
    const QStringView view(text);
    for (qsizetype i = 0; i < view.size();) {
        const qsizetype length = CharLength(view, i);
        const QStringView ch = view.mid(i, length);
        if (SetHolds(set, ch) == keep) result.append(ch);
        i += length;
    }
    return result;
}

QString GetFolderName(const QString& path, QChar separator) {
    const qsizetype last = path.lastIndexOf(separator);
    return last < 0 ? path : path.mid(last + 1);
}

QString GetParentPath(const QString& path, QChar separator) {
    const qsizetype last = path.lastIndexOf(separator);
    return last < 0 ? QString() : path.left(last + 1);
}

bool FileExists(const QString& path) {
    // A NUL would cut the path short and ask about another entry.
    if (path.isEmpty() || path.contains(QChar(u'\0'))) return false;
    // lstat: an entry that is there counts, also a symbolic link whose target is missing.
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

}  // namespace trellisane
