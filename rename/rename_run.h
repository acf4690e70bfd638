#pragma once

// A rename run: every listed folder renamed on disk, first row to last, through one
// RenamePlatform, with one outcome per row.

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "folders/folder_list.h"
#include "rename/rename_platform.h"
#include "rename/row_status.h"

namespace trellisane {

/// One folder moved on disk by a run: every path equal to `from` or below it now lies below
/// `to`. Both end with the separator.
struct PathMove {
    QString from;
    QString to;
};

/// What happened to one row in a run.
struct RowOutcome {
    qsizetype position = 0;  ///< 1-based row
    QString oldPath;         ///< as tried, after following earlier renames
    QString newPath;
    RowFate fate;

    /// Whether the folder now stands at the new path (renamed, or nothing to do).
    bool ok() const { return Succeeds(fate.status); }
    /// The new name as the row asked for it: the part of the new path after the old parent.
    QString NewName() const;
    /// The report of a row that did not succeed (DescribeFailure).
    QString Report() const;
};

/// The result of one run, for callers that report in their own way (the command line) and for
/// carrying paths gathered during the run through its renames.
struct RenameRun {
    std::vector<RowOutcome> outcomes;  ///< one per row, in list order
    std::vector<PathMove> moves;       ///< every folder actually moved, in order
    qsizetype tried = 0;               ///< the rows the run reached before it ended or was stopped
    qsizetype sideBySide = 0;          ///< rows whose folders a second thread renamed
};

/// How a caller follows a run of ApplyRenames and stops it between rows. Both functions are
/// optional and are called on the thread that called ApplyRenames, in row order.
struct RunControl {
    /// Told before each row is tried: its 1-based position, the number of rows, and its
    /// current path as it stands then (carried through the renames before it).
    std::function<void(qsizetype position, qsizetype count, const QString& current)> starting;
    /// Asked before each row: true stops the run there, after the folder renamed last. The row
    /// at hand and every later one are then NotTried.
    std::function<bool()> cancelled;
    /// False: the run keeps no outcomes and no moves (its RenameRun has `tried` alone), for a
    /// caller that follows it through `onFailure` and the rows alone; what it does on disk and
    /// to the rows is the same.
    bool keepsOutcomes = true;
    /// 1: every row is played on the calling thread. 2: where the platform's operations are
    /// the real ones and nothing observes the renames, the folders of different parents one
    /// level deep are renamed side by side on a second thread, in groups of at most
    /// kRowsSideBySide rows; the outcomes, the failures told, their order and the rows
    /// afterwards are those of one thread. `starting` is then told of a group's rows after its
    /// renames, and `cancelled` asked before each group.
    int threads = 1;
};

/// The most rows renamed side by side between two looks at whether the run is stopped.
inline constexpr qsizetype kRowsSideBySide = 1024;

/// Renames every row's folder from its current to its new path, first row to last; one outcome
/// per row, going on past failures. Never replaces an existing folder; a row whose new path
/// equals its current path succeeds without a change; an empty or unusable new name, and a
/// current path that no longer names a folder, fail without a rename. Afterwards each row's current
/// path is where its folder is and every new path is "". `onFailure` (may be empty) is called at
/// once for each failed row. When a folder moves, every row whose current path is equal to or below
/// it (by whole components) follows it, earlier rows and later ones, the later with their new
/// paths, so a folder listed before its own sub-folders breaks nothing. A failed row keeps its
/// path. Near-linear in rows times depth.
RenameRun ApplyRenames(FolderList& list, const std::function<void(const RowOutcome&)>& onFailure);

/// ApplyRenames with the disk operations of `platform`, followed and stoppable through
/// `control`; a stopped run leaves the list's rows as the overload on rows says.
RenameRun ApplyRenames(FolderList& list, const std::function<void(const RowOutcome&)>& onFailure,
                       const RenamePlatform& platform, const RunControl& control = {});

/// ApplyRenames on `rows` alone (a copy of a list's rows, say, renamed away from the list),
/// followed and stoppable through `control`. Always one outcome per row: once the run is
/// stopped, every row not reached is NotTried, keeps its new path (carried through the renames
/// done, like its current path), and every row tried gets its current path as its new path,
/// so that running the rows again renames exactly the rest. Not stopped, it leaves the rows as
/// ApplyRenames leaves a list's.
RenameRun ApplyRenames(std::vector<FolderRow>& rows,
                       const std::function<void(const RowOutcome&)>& onFailure,
                       const RenamePlatform& platform, const RunControl& control);

/// Writes each row of `rows` into the row of `list` at its position (as many as both hold), its
/// current and its new path, as one change. O(rows).
void AdoptRows(FolderList& list, const std::vector<FolderRow>& rows);

/// AdoptRows for the positions `first` to `last` alone (1-based, within both), as one change,
/// so that a long list can take a run's rows back a slice at a time. O(last - first).
void AdoptRows(FolderList& list, const std::vector<FolderRow>& rows, qsizetype first,
               qsizetype last);

/// Carries every path of `paths` through `moves` in order (each move rebases a path equal to or
/// below its `from`, compared by whole components). Near-linear in paths plus moves.
void CarryThroughMoves(QStringList& paths, const std::vector<PathMove>& moves);

}  // namespace trellisane
