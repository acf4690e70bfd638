#include "app/row_planner.h"

#include <QAction>
#include <QMenu>
#include <QWidget>
#include <algorithm>
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
/// Rows copied in one turn of the event loop: a few milliseconds of building paths.
constexpr qsizetype kRowsCopiedATurn = 20000;

}  // namespace

/// One plan from its start to its result: the window's while its rows are copied, the work's
/// until it returns, the window's after.
struct PlanState {
    std::vector<FolderRow> rows;
    RenamePlan plan;
    quint64 generation = 0;
};

RowPlanner::RowPlanner(QWidget& window, const FolderList& list, FolderListModel& model)
    : QObject(&window), m_window(window), m_list(list), m_model(model) {
    m_soon.setSingleShot(true);
    m_soon.setInterval(0);
    connect(&m_soon, &QTimer::timeout, this, [this] {
        if (m_writing && m_writing()) return;  // the pass's end plans again
        if (!m_held && m_model.Generation() != m_plannedGeneration) Refresh();
    });
    m_copySlice.setSingleShot(true);
    m_copySlice.setInterval(0);
    connect(&m_copySlice, &QTimer::timeout, this, &RowPlanner::CopySlice);
    // Every change of the rows reaches the views as one of these; the plan's own dataChanged
    // leaves the generation as it is, so it asks for nothing.
    connect(&m_model, &QAbstractItemModel::rowsInserted, this, &RowPlanner::RefreshSoon);
    connect(&m_model, &QAbstractItemModel::rowsRemoved, this, &RowPlanner::RefreshSoon);
    connect(&m_model, &QAbstractItemModel::modelReset, this, &RowPlanner::RefreshSoon);
    connect(&m_model, &QAbstractItemModel::dataChanged, this, &RowPlanner::RefreshSoon);
}

void RowPlanner::RefreshSoon() {
    if (m_writing && m_writing()) {
        // The marks are stale until the rows are written; the pass's end plans again.
        m_soon.stop();
        CancelJob();
        return;
    }
    if (!m_held && m_model.Generation() != m_plannedGeneration) m_soon.start();
}

void RowPlanner::CancelJob() {
    m_copySlice.stop();
    m_copying.reset();
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

    m_copying = std::make_shared<PlanState>();
    m_copying->generation = m_plannedGeneration;
    m_copying->rows.reserve(static_cast<std::size_t>(m_list.Count()));
    CopySlice();
}

void RowPlanner::CopySlice() {
    if (m_copying == nullptr) return;
    if (m_model.Generation() != m_copying->generation) {
        // The rows changed under the copy: start over once the event loop is back.
        m_copying.reset();
        RefreshSoon();
        return;
    }
    const qsizetype count = m_list.Count();
    const qsizetype first = static_cast<qsizetype>(m_copying->rows.size()) + 1;
    const qsizetype last = std::min(count, first + kRowsCopiedATurn - 1);
    for (qsizetype position = first; position <= last; ++position) {
        m_copying->rows.push_back(m_list.Row(position));
    }
    if (last < count) {
        m_copySlice.start();
        return;
    }
    const std::shared_ptr<PlanState> state = std::move(m_copying);
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
