#pragma once

#include <QString>
#include <atomic>
#include <vector>

#include "folders/folder_list.h"
#include "rename/rename_run.h"
#include "rename/row_status.h"

namespace trellisane {

/// What Start Renaming would do with a list of rows, predicted before anything is touched.
struct RenamePlan {
    /// One fate per row, in list order; never Failed but for a mount point (which no rename
    /// can move) and a folder an overlay cannot move (EXDEV, with the reason); MayFail where
    /// an overlay's layers cannot be seen. Empty when the plan was cancelled.
    std::vector<RowFate> fates;
    /// Each row's path after the whole run (ending with the separator): its new path or its
    /// current one, carried along where a row renames a folder above it.
    std::vector<QString> finalPaths;
    bool cancelled = false;
};

/// Plays the run of `rows` (as a preview pass left them) in list order on a model of the disk
/// and gives every row's fate: rows carried along when an earlier row renames a folder above
/// them, names freed or taken by earlier rows, two rows claiming one name, a case-only change
/// where the file system ignores case (through `platform`), a parent the person may not change
/// (a sticky one included), a read-only file system, a name too long. Reads the disk only
/// (lstat, faccessat, statvfs, pathconf, statfs), never writes it; safe on any thread. Stops
/// early, marked cancelled, once `cancel` (may be null) is set. Cost: two look-ups per row
/// that would reach the disk plus a few per distinct parent, and the run's own bookkeeping
/// (near-linear in rows times depth).
RenamePlan PlanRenames(const std::vector<FolderRow>& rows,
                       const RenamePlatform& platform = DefaultRenamePlatform(),
                       const std::atomic<bool>* cancel = nullptr);

}  // namespace trellisane
