#pragma once

// What the folder list's view does beyond a table view: Home and End by rows, its context menu.

class QAbstractItemView;
class QMenu;
class QTableView;

namespace trellisane {

/// Makes Home and End on `list` (without modifiers) go to its first and last row, not to the
/// first and last column of the current row; nothing on an empty list. The filter is a child
/// of `list`.
void InstallRowKeys(QTableView& list);

/// Gives `list` its context menu (object name "ListView1Menu", a child of `list`), shown where
/// the list is right-clicked. An entry is one addAction() on the menu returned.
QMenu* InstallListMenu(QAbstractItemView& list);

}  // namespace trellisane
