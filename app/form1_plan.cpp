// The plan marks in the window: the planner that keeps them current, and "Remove Rows That
// Cannot Be Renamed" in the list's context menu.

#include <QAction>
#include <QMenu>

#include "app/folder_list_model.h"
#include "app/form1.h"
#include "app/rename_plan_job.h"
#include "shell/texts.h"

namespace trellisane {

void Form1::BuildPlanMarks() {
    m_planner = new RowPlanner(*this, List(), *m_model);
    auto* remove = new QAction(Trellisane::tr("Remove Rows That Cannot Be Renamed"), this);
    remove->setObjectName(QStringLiteral("RemoveRowsThatCannotBeRenamed"));
    remove->setEnabled(false);
    m_listMenu->addAction(remove);
    connect(m_model.get(), &FolderListModel::planChanged, remove,
            [this, remove] { remove->setEnabled(m_model->CannotBeRenamed() > 0); });
    connect(remove, &QAction::triggered, this, [this] { RemoveRowsThatCannotBeRenamed(); });
}

void Form1::RemoveRowsThatCannotBeRenamed() {
    if (!m_model->HasPlan()) return;
    if (m_core->RemoveRowsThatCannotBeRenamed(m_model->Fates())) m_planner->Refresh();
}

}  // namespace trellisane
