#pragma once

#include <QString>
#include <functional>

#include "operations.h"

namespace trellisane {

class FolderList;

/// What the preview pass needs from its window, without any widget.
struct PreviewHooks {
    /// The selector's current text.
    std::function<QString()> selectorText;
    /// Asks one prompt (titled with the application title by the caller); Cancel gives "".
    PromptFn ask;
    /// Enables the "Start Renaming" state.
    std::function<void()> enableStartRenaming;
};

/// The preview pass. Returns at once (false) while `previewBusy` is set; otherwise sets it,
/// enables Start Renaming, matches the selector text, asks the prompts once (also for an empty
/// list), writes every row's new path (leaving a row alone on no-change), clears `previewBusy`
/// and returns true. Never touches the disk, a row's current path or the number of rows.
/// O(rows * path length); one change notification for the whole list.
bool PreviewRename(bool& previewBusy, FolderList& list, const PreviewHooks& hooks);

}  // namespace trellisane
