// "Add Folder/s", and the wiring between the window and its controller: what the controller
// asks of the window (the prompts, the check box, the run's progress) and what the window
// shows of it (the busy pointer, Start Renaming, the plan marks and "Remove Rows That Cannot
// Be Renamed" in the list's context menu).

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QPushButton>
#include <utility>

#include "app/folder_list_model.h"
#include "app/form1.h"
#include "app/handler_lines.h"
#include "app/rename_run_job.h"
#include "app/row_planner.h"
#include "app/selector_texts.h"
#include "app/settings_store.h"
#include "control/background_job.h"
#include "engine/error_report.h"
#include "shell/dialogs.h"
#include "shell/texts.h"

namespace trellisane {

void Form1::PushButton3_Click() {
    using namespace lines;
    if (!m_core->Allows(Action::Add)) return;  // nothing comes between a run's rows
    ErrorTrap trap(m_dialogs, QString::fromLatin1(kAddFoldersLocation));

    QString initialFolder;
    trap.Step(kAddReadLastFolder, [&] { initialFolder = GetSetting(kLastFolderKey, QString()); });
    QString chosen;
    trap.Step(kAddBrowse, [&] {
        chosen = m_dialogs.BrowseFolder(Trellisane::tr("Please select folder:"), initialFolder);
    });
    bool nothingChosen = true;
    trap.Step(kAddNothingChosen, [&] { nothingChosen = chosen.isEmpty(); });
    if (nothingChosen) {
        trap.Step(kAddPreview, [&] { PreviewRename(); });
        return;
    }
    bool recursive = false;
    trap.Step(kAddWalk, [&] { recursive = Check1->isChecked(); });
    m_core->StartAdd(trap, QStringList{chosen}, recursive);  // from the busy pointer on
}

void Form1::WireController() {
    ControllerHooks hooks;
    hooks.preview.selectorText = [this] { return SelectorSourceText(*Combo1); };
    hooks.preview.ask = [this](const QString& prompt) {
        return m_dialogs.Prompt(Trellisane::tr(prompt.toUtf8().constData()), ApplicationTitle());
    };
    hooks.preview.answered = [this](Operation operation, const PromptAnswers& answers) {
        return m_model->NotePass(operation, answers);
    };
    hooks.preview.report = [this](const QString& description, int line) {
        ShowErrorReport(m_dialogs, description, QString::fromLatin1(kPreviewLocation), line);
    };
    hooks.dialogOpen = [] { return QApplication::activeModalWidget() != nullptr; };
    hooks.subfolders = [this](std::optional<bool> asked) {
        if (asked == true) Check1->setChecked(true);
        return asked.value_or(Check1->isChecked());
    };
    hooks.makeRun = [this](std::vector<FolderRow> rows, RenamePlatform platform,
                           std::function<void(const RowOutcome&)> report) -> RunJob* {
        return new RenameRunJob(*this, std::move(rows), std::move(platform), std::move(report));
    };
    m_core->SetHooks(std::move(hooks));

    connect(m_core, &RenameController::pointerChanged, this, [this](bool busy, bool restore) {
        if (busy) m_pointerBeforeBusy = Pointer();
        m_pointers->Set(busy ? kPointerBusy : restore ? m_pointerBeforeBusy : kPointerDefault);
    });
    connect(m_core, &RenameController::startRenamingEnabled, PushButton2, &QWidget::setEnabled);
    connect(m_core, &RenameController::previewed, m_planner, &RowPlanner::Refresh);
    connect(m_core, &RenameController::diskChanging, m_planner,
            [this](bool changing) { changing ? m_planner->Hold() : m_planner->Resume(); });
    connect(m_core, &RenameController::runRecorded, m_model.get(), &FolderListModel::RecordRun);
}

void Form1::BuildPlanMarks() {
    m_planner = new RowPlanner(*this, List(), *m_model);
    m_planner->SetWritingRows([core = m_core] { return core->PreviewWriting(); });
    connect(AddRemoveRowsAction(*m_listMenu, *m_model), &QAction::triggered, this,
            [this] { RemoveRowsThatCannotBeRenamed(); });
}

void Form1::RemoveRowsThatCannotBeRenamed() {
    if (!m_model->HasPlan()) return;
    if (m_core->RemoveRowsThatCannotBeRenamed(m_model->Fates())) m_planner->Refresh();
}

void Form1::StopWork() {
    // The window's own jobs (plans, a run's worker) with the controller's (adds).
    const QList<BackgroundJob*> jobs = findChildren<BackgroundJob*>(Qt::FindDirectChildrenOnly);
    m_core->StopAll({jobs.begin(), jobs.end()}, QDeadlineTimer(kWorkerExitWaitMs));
}

}  // namespace trellisane
