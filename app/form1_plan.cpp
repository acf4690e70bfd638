// The plan marks in the window: the planner that keeps them current, and "Remove Rows That
// Cannot Be Renamed" in the list's context menu.

#include <QAction>
#include <QMenu>
#include <vector>

#include "app/folder_list_model.h"
#include "app/form1.h"
#include "app/rename_plan_job.h"
#include "rename/row_status.h"
#include "shell/texts.h"

namespace trellisane {

void Form1::BuildPlanMarks() {
    m_planner = new RowPlanner(*this, m_list, *m_model);
    auto* remove = new QAction(Trellisane::tr("Remove Rows That Cannot Be Renamed"), this);
    remove->setObjectName(QStringLiteral("RemoveRowsThatCannotBeRenamed"));
    remove->setEnabled(false);
    m_listMenu->addAction(remove);
    connect(m_model.get(), &FolderListModel::planChanged, remove,
            [this, remove] { remove->setEnabled(m_model->CannotBeRenamed() > 0); });
    connect(remove, &QAction::triggered, this, [this] { RemoveRowsThatCannotBeRenamed(); });
}

void Form1::RemoveRowsThatCannotBeRenamed() {
    if (Pointer() == kPointerBusy || !m_model->HasPlan()) return;
    const std::vector<RowFate>& fates = m_model->Fates();
    std::vector<bool> marked(fates.size());
    for (std::size_t row = 0; row < fates.size(); ++row) marked[row] = !Succeeds(fates[row].status);
    m_list.RemoveMarked(marked);
    m_planner->Refresh();
}

}  // namespace trellisane
