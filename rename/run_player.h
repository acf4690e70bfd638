#pragma once

#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "folders/folder_list.h"
#include "rename/rename_run.h"

namespace trellisane {

/// The disk a run is played on: the real one for Start Renaming, a model of it for the plan.
class RunDisk {
  public:
    virtual ~RunDisk() = default;
    /// What stands at `path` (no trailing separator), a final symbolic link not followed.
    virtual EntryState Examine(const QString& path) = 0;
    /// Why the folder at a row's current path must be left alone whatever its new name, or
    /// nothing (RenamePlatform::refuse).
    virtual std::optional<QString> Refuse(const QString& oldPath) = 0;
    /// Why the driver of the file system would refuse or change the new name of the folder at
    /// `from` renamed to `to` (no trailing separators, one parent), or nothing
    /// (RenamePlatform::refuseName).
    virtual std::optional<QString> RefuseName(const QString& from, const QString& to) = 0;
    /// Renames as RenameFolder does: never replacing, a case-only change included.
    virtual FolderRenameResult Rename(const QString& from, const QString& to) = 0;
    /// A disk of the same kind for a second thread, playing the rows of other folders while
    /// this one plays its own; nothing (the default) keeps the run on one thread.
    virtual std::unique_ptr<RunDisk> Twin() { return nullptr; }
    /// The identity of the folder `parent` (no trailing separator) when renames in it commute
    /// with renames as deep in other folders (PlainFolderIdentity), or nothing.
    virtual std::optional<FolderIdentity> ParentIdentity(const QString& parent) {
        (void)parent;
        return std::nullopt;
    }
};

/// Plays a run over `rows` in list order on `disk`: one outcome per row, going on past
/// failures, the rows of every moved folder carried along (earlier rows and later ones, the
/// later with their new paths). Afterwards each row's current path is where its folder is and
/// every new path is "". `onFailure` (may be empty) is called at once for each row that does
/// not succeed; the outcomes and moves are kept only where `control.keepsOutcomes` says. Once
/// `cancel` (may be null) is set, or `control` says so, stops before the next row, with fewer
/// outcomes than rows; `control.starting` is told of each row tried. Near-linear in rows times
/// depth, plus two Examine and one Rename per row that reaches the disk. With
/// `control.threads` 2 and a disk that has a Twin, the rows of one depth in different parents
/// are renamed on two threads, ending exactly as on one (see RunControl::threads).
RenameRun PlayRun(std::vector<FolderRow>& rows, RunDisk& disk,
                  const std::function<void(const RowOutcome&)>& onFailure,
                  const std::atomic<bool>* cancel = nullptr, const RunControl& control = {});

}  // namespace trellisane
