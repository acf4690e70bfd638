#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "folders/folder_list.h"
#include "rename/rename_run.h"

namespace trellisane {

/// What one run works on and hands back: the worker's alone from Start() until `finished`,
/// the owner's afterwards (the job's queued `finished` and the joined thread order the two).
struct RenameRunState {
    std::vector<FolderRow> rows;  ///< a copy of the list's rows; as the run left them at the end
    RenamePlatform platform;      ///< the disk operations, used by the worker only
    RenameRun run;                ///< one outcome per row, NotTried for those never reached
    /// Positions (1-based) of the failed rows whose report could not be shown while the run
    /// went, because it was being stopped: the owner reports them at the end.
    std::vector<qsizetype> unreported;
};

/// A Start Renaming run carried out away from its owner (on a worker, behind whatever shows
/// its progress). The owner makes one per run, calls Start() and reads State() once
/// `finished` has come or Stop() returned true.
class RunJob : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;

    /// Starts the run. False when it cannot start: nothing has been renamed and `finished`
    /// will not come.
    virtual bool Start() = 0;
    /// Asks the run to stop after the folder being renamed, then waits until `deadline`. True
    /// when it has ended (the state may be read; `finished` will not come); false when it is
    /// stuck and has been abandoned (the state is never the owner's).
    virtual bool Stop(QDeadlineTimer deadline) = 0;
    /// The run's state: the owner's once `finished` has come or Stop() returned true.
    virtual RenameRunState& State() = 0;

  Q_SIGNALS:
    /// The run has returned, stopped or not; the state is now the owner's. Once only.
    void finished();
};

/// Makes the job of one run over `rows` through `platform`; `report` shows one failed row and
/// returns when it has been seen. The job is a child of whatever the maker chooses.
using RunJobMaker = std::function<RunJob*(std::vector<FolderRow> rows, RenamePlatform platform,
                                          std::function<void(const RowOutcome& failed)> report)>;

/// The message of a stopped run, counted from `run`'s outcomes so that its parts add up to the
/// number of rows: how many folders were renamed, left as they are (unchanged names), could not be
/// renamed, and were not tried.
QString StoppedRunMessage(const RenameRun& run);

}  // namespace trellisane
