#pragma once

#include <QString>

#include "engine/operation_help.h"

namespace trellisane {

/// The tooltip of "Add subfolders when adding folder".
inline constexpr char kSubfoldersToolTip[] = QT_TRANSLATE_NOOP(
    "Trellisane",
    "Ticked: \"Add Folder/s\" lists the folder you pick and every folder beneath it, and Start "
    "Renaming renames them all, the picked folder itself too. A folder whose name holds a "
    "character outside the single-byte set, a \"?\" or a control character, or is 260 "
    "characters or longer, is left out with everything beneath it, and you are told which.\n"
    "Not ticked: only the picked folder is listed.");

/// The operation selector's tooltip while `selectorText` is selected: what that operation
/// does, with an example, and what x and y are.
inline QString SelectorToolTip(const QString& selectorText) {
    return OperationHelp(MatchOperation(selectorText));
}

}  // namespace trellisane
