#include "cli/status_output.h"

#include <utility>

#include "rename/rename_plan.h"
#include "rename/row_status.h"

namespace trellisane {

int WriteRowStatuses(const std::vector<FolderRow>& rows, StatusOutput what, bool print0,
                     const std::function<void(const QByteArray&)>& write) {
    const RenamePlan plan = PlanRenames(rows);
    const char fieldEnd = print0 ? '\0' : '\t';
    const char rowEnd = print0 ? '\0' : '\n';
    int status = 0;
    QByteArray block;
    for (size_t i = 0; i < rows.size(); ++i) {
        const RowFate& fate = plan.fates[i];
        const bool fine = Succeeds(fate.status);
        if (what == StatusOutput::NotRenamedOnly && fine) continue;
        const FolderRow& row = rows[i];
        block += row.current.toUtf8() + fieldEnd + row.newPath.toUtf8() + fieldEnd +
                 StatusKeyword(fate.status);
        if (what == StatusOutput::NotRenamedOnly) {
            block += fieldEnd + DescribeFate(fate, NewNameOf(row.current, row.newPath)).toUtf8();
            status = 1;
        }
        block += rowEnd;
        if (block.size() >= (1 << 20)) write(std::exchange(block, QByteArray()));
    }
    if (!block.isEmpty()) write(block);
    return status;
}

}  // namespace trellisane
