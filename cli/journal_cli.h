#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <functional>
#include <optional>

#include "rename/rename_run.h"
#include "rename/undo.h"

namespace trellisane {

class FolderList;

/// `--apply [--journal FILE]`: ApplyRenames over `list`, calling `onFailure` for each failed
/// row, and with a journal path the run recorded in a new journal there as it goes. Returns
/// 0; 2 when the journal cannot be created (an existing FILE included), before anything is
/// renamed; 1 when the journal could not be written to its end (renames after the failure are
/// refused). Each problem is one message in `problems`. `control` follows the run's rows.
int ApplyWithJournal(FolderList& list, const std::optional<QByteArray>& journalPath,
                     QByteArrayList& problems,
                     const std::function<void(const RowOutcome&)>& onFailure,
                     const RunControl& control = {});

/// `--undo FILE [--apply] [--print0]`: reads the journal FILE and puts back every folder its run
/// renamed (UndoMoves), newest first; without `apply` only shows it. Output, for each folder
/// handled: with `apply` the path where it is now; without, the path where it is now, a TAB
/// and the path it would get (empty when it already has its old name). `print0` ends every
/// path with NUL instead. Each folder that cannot be put back is named in `problems`. Returns 0,
/// 1 when some folder could not (or, shown only, would not) be put back, 2 for a file that
/// cannot be read or is no sound journal, in which case nothing is changed. A folder known
/// only by its path (a disk mounted again that renumbers its folders) is left alone and named
/// unless `trustPaths`; a note in `problems` says how many folders were recognised after the
/// disk was mounted again, and how.
int RunUndo(const QByteArray& journalPath, bool apply, bool print0, QByteArray& out,
            QByteArrayList& problems, bool trustPaths = false);

/// The output and problems of an undo (UndoMoves over `moves` gave `result`), as RunUndo tells
/// them; `named` opens the messages about the whole ("the journal 'FILE' "). Returns RunUndo's
/// exit status.
int ReportUndo(const std::vector<RecordedMove>& moves, const UndoResult& result,
               const QByteArray& named, bool apply, bool print0, QByteArray& out,
               QByteArrayList& problems);

}  // namespace trellisane
