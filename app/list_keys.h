#pragma once

class QTableView;

namespace trellisane {

/// Makes Home and End on `list` (without modifiers) go to its first and last row, not to the
/// first and last column of the current row; nothing on an empty list. The filter is a child
/// of `list`.
void InstallRowKeys(QTableView& list);

}  // namespace trellisane
