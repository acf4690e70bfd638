#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

namespace trellisane {

/// The platform's own path separator: '/' here, '\' on Windows.
#ifdef Q_OS_WIN
inline constexpr QChar kPathSeparator = u'\\';
#else
inline constexpr QChar kPathSeparator = u'/';
#endif

/// A path cut at its last separator (SplitPath).
struct PathSplit {
    QString parent;    ///< without trailing separator; the root for a path directly in it
    QStringView name;  ///< the last component, a view into the path split
};

/// `path` (without trailing separator) cut at its last separator: its parent folder and its
/// last component. A path directly in the root, or one without any separator, has the root as
/// its parent. The one way paths are split into parent and name. O(length).
inline PathSplit SplitPath(const QString& path) {
    const qsizetype slash = path.lastIndexOf(kPathSeparator);
    return {slash <= 0 ? QString(kPathSeparator) : path.left(slash),
            QStringView(path).mid(slash + 1)};
}

}  // namespace trellisane
