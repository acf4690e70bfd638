#include "app/row_planner.h"

#include <QAction>
#include <QMenu>
#include <QWidget>
#include <memory>
#include <utility>
#include <vector>

#include "app/folder_list_model.h"
#include "control/background_job.h"
#include "folders/folder_list.h"
#include "rename/rename_plan.h"
#include "rename/row_status.h"
#include "shell/texts.h"

namespace trellisane {

namespace {

/// One plan from its start to its result: the work's until it returns, the window's after.
struct PlanState {
    std::vector<FolderRow> rows;
    RenamePlan plan;
    quint64 generation = 0;
};

}  // namespace

RowPlanner::RowPlanner(QWidget& window, const FolderList& list, FolderListModel& model)
    : QObject(&window), m_window(window), m_list(list), m_model(model) {
    m_soon.setSingleShot(true);
    m_soon.setInterval(0);
    connect(&m_soon, &QTimer::timeout, this, [this] {
        if (!m_held && m_model.Generation() != m_plannedGeneration) Refresh();
    });
    // Every change of the rows reaches the views as one of these; the plan's own dataChanged
    // leaves the generation as it is, so it asks for nothing.
    connect(&m_model, &QAbstractItemModel::rowsInserted, this, &RowPlanner::RefreshSoon);
    connect(&m_model, &QAbstractItemModel::rowsRemoved, this, &RowPlanner::RefreshSoon);
    connect(&m_model, &QAbstractItemModel::modelReset, this, &RowPlanner::RefreshSoon);
    connect(&m_model, &QAbstractItemModel::dataChanged, this, &RowPlanner::RefreshSoon);
}

void RowPlanner::RefreshSoon() {
    if (!m_held && m_model.Generation() != m_plannedGeneration) m_soon.start();
}

void RowPlanner::CancelJob() {
    if (m_job == nullptr) return;
    m_job->Cancel();  // it deletes itself once its work has returned
    m_job = nullptr;
}

void RowPlanner::Hold() {
    m_held = true;
    m_soon.stop();
    CancelJob();
    m_model.DropPlan();
}

void RowPlanner::Resume() {
    m_held = false;
    Refresh();
}

void RowPlanner::Refresh() {
    if (m_held) return;
    m_soon.stop();
    CancelJob();
    m_model.DropPlan();
    m_plannedGeneration = m_model.Generation();
    if (m_list.Count() == 0) return;

    auto state = std::make_shared<PlanState>();
    state->rows = m_list.Rows();
    state->generation = m_plannedGeneration;
    auto work = [state, platform = m_platform](JobContext& context) {
        state->plan = PlanRenames(state->rows, platform, context.CancelFlag());
        // The list tells only where a folder ends elsewhere than its row shows, so a final path
        // equal to the shown one need not be kept: with a million rows that is most of a plan.
        std::vector<QString>& finals = state->plan.finalPaths;
        if (!state->plan.cancelled && finals.size() == state->rows.size() &&
            state->plan.fates.size() == finals.size()) {
            for (std::size_t i = 0; i < finals.size(); ++i) {
                const FolderRow& row = state->rows[i];
                const QString& shown =
                    Succeeds(state->plan.fates[i].status) ? row.newPath : row.current;
                if (finals[i] == shown) finals[i] = QString();
            }
        }
        std::vector<FolderRow>().swap(state->rows);
    };
    auto* job = new BackgroundJob(std::move(work), &m_window);
    connect(job, &BackgroundJob::finished, this, [this, state, job] {
        if (m_job == job) m_job = nullptr;
        job->deleteLater();
        m_model.ShowPlan(std::move(state->plan), state->generation);
    });
    if (!job->Start()) {
        // No thread to be had: the list goes without marks, as it did before plans.
        delete job;
        return;
    }
    m_job = job;
}

QAction* AddRemoveRowsAction(QMenu& menu, FolderListModel& model) {
    auto* remove = new QAction(Trellisane::tr("Remove Rows That Cannot Be Renamed"), &menu);
    remove->setObjectName(QStringLiteral("RemoveRowsThatCannotBeRenamed"));
    remove->setEnabled(false);
    menu.addAction(remove);
    QObject::connect(&model, &FolderListModel::planChanged, remove,
                     [remove, &model] { remove->setEnabled(model.CannotBeRenamed() > 0); });
    return remove;
}

}  // namespace trellisane
