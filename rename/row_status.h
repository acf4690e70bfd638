#pragma once

#include <QString>

namespace trellisane {

/// What becomes of one row in a run, as predicted before it or as it went. The plan never
/// gives Failed: an error it cannot foresee is the run's alone.
enum class RowStatus {
    Renamed,       ///< the folder gets (or got) its new name
    Unchanged,     ///< the new path is the current one: nothing to do
    NotPreviewed,  ///< no new path: the row has not been previewed
    Refused,       ///< the name or the place does not allow the rename (see RefusalReason)
    Taken,         ///< the new name is held by an entry in the parent (see Occupant)
    Claimed,       ///< an earlier row of the run gives its folder this name first
    Missing,       ///< the current path no longer names a folder
    Failed,        ///< the system refused for another reason (see RowFate::error)
    NotTried,      ///< the run was stopped before this row's turn; nothing was done to it
    MayFail,  ///< plan only: predicted renamed, but the file system may refuse (detail says why)
};

/// Why a rename is refused.
enum class RefusalReason {
    None,
    NulInPath,      ///< the folder's own path holds a NUL character
    NoName,         ///< the path names a root, which has no name to change
    OutsideParent,  ///< the new path leaves the folder's parent
    EmptyName,
    DotName,    ///< "." or ".."
    Separator,  ///< the new name holds a path separator
    NulInName,
    NameTooLong,   ///< longer than the file system takes
    NoPermission,  ///< the parent may not be changed (a sticky parent included)
    ReadOnly,      ///< the file system is mounted read-only
    Protected,     ///< a folder the program never changes (RowFate::detail says which)
    NamingRule,    ///< the file system's driver refuses or changes such names (detail says how)
};

/// What holds a taken name.
enum class Occupant { Folder, File, Link };

/// One row's status with the details that tell a person why. Plain data, cheap to copy (the
/// text is shared).
struct RowFate {
    RowStatus status = RowStatus::NotPreviewed;
    RefusalReason refusal = RefusalReason::None;  ///< for Refused
    Occupant occupant = Occupant::Folder;         ///< for Taken
    bool listed = false;                          ///< for Taken: the occupant is a listed row
    qsizetype claimedBy = 0;                      ///< for Claimed: the earlier row, 1-based
    int error = 0;     ///< the errno value the system gave or would give; 0 for a check of our own
    QString detail{};  ///< for Protected, NamingRule, MayFail and some Failed: why, one sentence

    friend bool operator==(const RowFate&, const RowFate&) = default;
};

/// True for the statuses that leave the row's folder where its new path says (a row that may
/// fail is expected to).
inline bool Succeeds(RowStatus status) {
    return status == RowStatus::Renamed || status == RowStatus::Unchanged ||
           status == RowStatus::MayFail;
}

/// The fixed keyword of a status, for scripts: "ok", "unchanged", "not-previewed", "refused",
/// "taken", "claimed", "missing", "failed", "not-tried" or "may-fail".
const char* StatusKeyword(RowStatus status);

/// The name a row asks for, as the sentences quote it: the part of `newPath` after the parent
/// of `oldPath` (the whole new path when it lies elsewhere), without trailing separator.
QString NewNameOf(const QString& oldPath, const QString& newPath);

/// The one plain sentence a person reads about a row's fate, ending with a full stop (for
/// example "The new name is already taken by another folder in its parent folder."). `newName`
/// is the name the row would get, quoted where the sentence needs it.
QString DescribeFate(const RowFate& fate, const QString& newName);

/// The text that reports a row that was not renamed: the system's description of the error
/// (or, for a check of our own, what was wrong), then the folder and the new name, as in
/// `File exists: "/a/b/a2" cannot be renamed to "a" (a folder of that name is already
/// there).` `folder` is given without a trailing separator. One line unless a name holds a
/// line break.
QString DescribeFailure(const RowFate& fate, const QString& folder, const QString& newName);

}  // namespace trellisane
