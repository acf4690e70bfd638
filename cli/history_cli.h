#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <functional>
#include <optional>

#include "rename/journal.h"
#include "rename/rename_run.h"
#include "rename/run_history.h"

namespace trellisane {

class FolderList;

/// `--history`: every run of `history`, newest first, one line each: its id, a TAB, its start
/// in UTC ISO 8601, a TAB, its state keyword (RunStateKeyword), a TAB, the number of folders
/// it renamed, a TAB, where it was made ("window", "companion"), a TAB, the operation, then a
/// TAB and "FIELD=TEXT" for each answer. A line break or TAB in a text is shown escaped.
/// Journals that cannot be read are named in `problems`. Returns 0.
int ListHistory(const RunHistory& history, QByteArray& out, QByteArrayList& problems);

/// The id of the run of `history` that `argument` names, when it names one and no file of that
/// name exists; nothing otherwise (the argument is then a journal file).
std::optional<QString> HistoryRunOf(const RunHistory& history, const QByteArray& argument);

/// `--undo RUN [--apply]`: as RunUndo for a journal file, with the run's journal in the history;
/// with `apply` refused (exit 1, nothing changed) while a newer run over the same folders stands
/// or the run is still going, and recorded in the journal afterwards.
int UndoHistoryRun(const RunHistory& history, const QString& id, bool apply, bool print0,
                   QByteArray& out, QByteArrayList& problems, bool trustPaths);

/// `--export-csv RUN|FILE`: the run as CSV (RunCsv) into `out`. Returns 0, or 2 when the journal
/// cannot be read (named in `problems`).
int ExportCsv(const RunHistory& history, const QByteArray& argument, QByteArray& out,
              QByteArrayList& problems);

/// `--apply --record`: ApplyRenames over `list` with the run journaled into `history` (as
/// ApplyWithJournal does into a file), then the history kept within its bounds. Returns 0; 2
/// when the journal cannot be created, before anything is renamed; 1 when it could not be
/// written to its end.
int ApplyRecorded(FolderList& list, const RunHistory& history, const JournalAbout& about,
                  QByteArrayList& problems, const std::function<void(const RowOutcome&)>& onFailure,
                  const RunControl& control = {});

}  // namespace trellisane
