#pragma once

#include <QString>
#include <functional>

#include "operations.h"

namespace trellisane {

class FolderList;

/// The location text of the preview pass's error reports.
inline constexpr char kPreviewLocation[] = "in Dorvalin2021/08/31.Form1.PreviewRename ";

/// The preview pass's statements, as its error reports number them.
namespace preview_lines {
inline constexpr int kBusyOn = 102;
inline constexpr int kEnableStartRenaming = 104;
inline constexpr int kMatchOperation = 106;
inline constexpr int kAskPrompts = 108;
inline constexpr int kCountRows = 110;
inline constexpr int kWriteNewPaths = 112;
inline constexpr int kBusyOff = 114;
}  // namespace preview_lines

/// What the preview pass needs from its window, without any widget.
struct PreviewHooks {
    /// The selector's current text.
    std::function<QString()> selectorText;
    /// Asks one prompt (titled with the application title by the caller); Cancel gives "".
    PromptFn ask;
    /// Enables the "Start Renaming" state.
    std::function<void()> enableStartRenaming;
    /// Shows the application error report for a failed step (description and line, 100 for
    /// the first step up to 114 for the last) and returns when the person has pressed OK; the
    /// pass then goes on with its next step. When empty, a failure is thrown on to the caller
    /// once `previewBusy` has been cleared.
    std::function<void(const QString& description, int line)> report;
    /// Told once per pass that gets past the busy check, before any row is written: the
    /// operation matched (OpNone for a separator row) and the answers it runs with. Returns the
    /// number the rows this pass writes are stamped with (FolderRow::pass). May be empty: the
    /// rows are then stamped 0.
    std::function<quint32(Operation operation, const PromptAnswers& answers)> answered;
    /// Writes the rows' new paths for the operation and answers of this pass, stamped `pass`,
    /// in place of PreviewRows over the whole list: the window spreads a long list's writing
    /// over several turns of its event loop. May be empty (PreviewRows at once).
    std::function<void(Operation operation, const PromptAnswers& answers, quint32 pass)> writeRows;
};

/// Writes the new path of every row of `list` for `operation` with `answers` (BuildNewPath),
/// first row to last, stamping each row written with `pass` (FolderRow::pass); a row for which
/// the operation gives no change keeps its new path. Never touches the disk, a row's current
/// path or the number of rows; asks nothing. O(rows * path length); one change notification
/// for the whole list.
void PreviewRows(FolderList& list, Operation operation, const PromptAnswers& answers,
                 quint32 pass = 0);

/// PreviewRows over the rows `first` to `last` only (1-based, inclusive, clamped to the list),
/// with one change notification for the whole list. Writing a list in consecutive ranges gives
/// exactly what one PreviewRows gives. O(rows in the range * name length).
void PreviewRows(FolderList& list, Operation operation, const PromptAnswers& answers,
                 quint32 pass, qsizetype first, qsizetype last);

/// The preview pass around PreviewRows, as the window runs it. Returns at once (false) while
/// `previewBusy` is set; otherwise sets it, enables Start Renaming, matches the selector text, asks
/// the prompts once (also for an empty list), writes every row's new path (leaving a row alone on
/// no-change), clears `previewBusy` and returns true. Never touches the disk, a row's current path
/// or the number of rows. O(rows * path length); one change notification for the whole list.
bool PreviewRename(bool& previewBusy, FolderList& list, const PreviewHooks& hooks);

}  // namespace trellisane
