#pragma once

#include <QString>

#include "folders/path_separator.h"

namespace trellisane {

/// Filters `text` by the characters of `set` (exact, case-sensitive): with `keep` true only
/// characters of the set stay, with `keep` false they go. Order is kept. O(len(text) * len(set)).
QString KeepOrRemoveChars(const QString& text, const QString& set, bool keep);

/// The text after the last `separator`, or the whole text when there is none; "" for "".
/// Any length. O(n).
QString GetFolderName(const QString& path, QChar separator = kPathSeparator);

/// The text up to and including the last `separator`, or "" when there is none.
/// GetParentPath(p) + GetFolderName(p) == p for every p. O(n).
QString GetParentPath(const QString& path, QChar separator = kPathSeparator);

/// True when a file or folder (or link) can be found at `path`; false on any error, including
/// an empty path. Reads the file system, never changes it. One stat call.
bool FileExists(const QString& path);

}  // namespace trellisane
