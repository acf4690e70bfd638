#pragma once

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <optional>

#include "rename/rename_run.h"
#include "rename/row_status.h"

namespace trellisane::testing {

/// The fates the tables expect, each with the errno the run meets.
inline RowFate Renamed() { return {RowStatus::Renamed}; }
inline RowFate Unchanged() { return {RowStatus::Unchanged}; }
inline RowFate NotPreviewed() { return {RowStatus::NotPreviewed}; }
inline RowFate Refused(RefusalReason reason, int error = 0) {
    return {.status = RowStatus::Refused, .refusal = reason, .error = error};
}
inline RowFate Taken(Occupant occupant, bool listed) {
    return {.status = RowStatus::Taken, .occupant = occupant, .listed = listed, .error = EEXIST};
}
inline RowFate Claimed(qsizetype by) {
    return {.status = RowStatus::Claimed, .claimedBy = by, .error = EEXIST};
}
inline RowFate Missing(int error) { return {.status = RowStatus::Missing, .error = error}; }

/// The entry of `path`'s parent whose name equals `path`'s ignoring case, as a path.
inline std::optional<QString> MatchIgnoringCase(const QString& path) {
    const QFileInfo info(path);
    const QStringList entries =
        QDir(info.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(info.fileName(), Qt::CaseInsensitive) == 0) {
            return info.path() + u'/' + entry;
        }
    }
    return std::nullopt;
}

/// The real disk, seen as a file system that ignores case would show it. The names in one
/// folder must differ other than in case.
inline RenamePlatform CaseInsensitiveView() {
    RenamePlatform platform;
    platform.renameNoReplace = [](const QString& from, const QString& to) {
        return MatchIgnoringCase(to) ? EEXIST : RenameNoReplace(from, to);
    };
    platform.sameEntry = [](const QString& a, const QString& b) {
        const std::optional<QString> first = MatchIgnoringCase(a);
        return first && first == MatchIgnoringCase(b);
    };
    platform.examine = [](const QString& path) {
        return ExamineEntry(MatchIgnoringCase(path).value_or(path));
    };
    platform.foldsCase = [](const QString&) { return true; };
    return platform;
}

}  // namespace trellisane::testing
