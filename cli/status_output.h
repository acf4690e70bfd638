#pragma once

#include <QByteArray>
#include <functional>
#include <vector>

#include "folders/folder_list.h"

namespace trellisane {

/// What --status and --check print.
enum class StatusOutput {
    EveryRow,        ///< every row: current path, new path, status keyword
    NotRenamedOnly,  ///< the rows that would not be renamed (unchanged ones are fine), with
                     ///< the one-sentence reason as a fourth field
};

/// Plans the run of `rows` and hands the lines to `write`, in list order, in blocks. Fields end
/// with a TAB and rows with a newline, or both with a NUL for `print0`. Returns the exit
/// status: 1 when NotRenamedOnly printed any row, else 0. Costs one plan (PlanRenames).
int WriteRowStatuses(const std::vector<FolderRow>& rows, StatusOutput what, bool print0,
                     const std::function<void(const QByteArray&)>& write);

}  // namespace trellisane
