// "Start Renaming": the rows renamed strictly in list order on a worker, behind a progress
// dialog, with the window painting meanwhile.
//
// Nothing may come between a run's rows, so for as long as it goes the window is busy the way
// an add or a preview pass makes it: the busy pointer holds off "Clear List" and removals,
// PreviewBusy holds off every preview pass, and the handlers that add rows, undo, or start a
// second run return at once; and the run's job holds off all input to the window but its close. The
// worker renames a copy of the rows; the list is written once, here, when the run has ended.

#include <QPushButton>
#include <cerrno>
#include <memory>
#include <utility>

#include "app/folder_list_model.h"
#include "app/form1.h"
#include "app/rename_plan_job.h"
#include "app/rename_run_job.h"
#include "app/undo_last_renaming.h"
#include "engine/error_report.h"
#include "folders/folder_entries.h"
#include "shell/dialogs.h"
#include "shell/texts.h"

namespace trellisane {

void Form1::PushButton2_Click() {
    using namespace start_renaming_lines;  // an error report names the last step reached
    if (m_renaming != nullptr) return;     // a second click before the dialog covers the button
    ErrorTrap trap(m_dialogs, QString::fromLatin1(kStartRenamingLocation));

    qsizetype count = 0;
    trap.Step(kCountRows, [&] { count = m_list.Count(); });
    if (count == 0) {
        trap.Step(kNoFolders, [&] {
            m_dialogs.ShowMessage(Trellisane::tr("No folders added."), m_title, DialogIcon::None,
                                  DialogButtons::Ok);
        });
        return;
    }

    ++m_renamingRuns;
    m_planner->Hold();  // the disk changes under any plan made now
    m_previewBusy = true;
    m_pointerBeforeRun = Pointer();
    m_pointers->Set(kPointerBusy);
    const QString location = QString::fromLatin1(kStartRenamingLocation);
    // Only the first few failures of a run get a report each: a run over thousands of rows
    // that all fail (none previewed, a read-only disk) must not become thousands of boxes to
    // close one by one. The rest are counted once at the end; every row shows its reason.
    auto reports = std::make_shared<qsizetype>(0);
    m_reportsThisRun = reports;
    m_renaming =
        new RenameRunJob(*this, m_list.Rows(), m_undo->BeforeRun(m_list, m_renamePlatform),
                         [dialogs = &m_dialogs, location, reports](const RowOutcome& failed) {
                             if (++*reports <= kReportsPerRun) {
                                 ShowErrorReport(*dialogs, failed.Report(), location, kRenameRow);
                             }
                         });
    connect(m_renaming, &RenameRunJob::finished, this, [this] { FinishStartRenaming(false); });
    BlockUndoWhileBusy();
    if (!m_renaming->Start()) {
        // No thread to be had: nothing has been renamed, and the button stays as it was.
        trap.Reach(kRenamePass);
        trap.Fail(DescribeError(EAGAIN));
        m_renaming->deleteLater();
        m_renaming = nullptr;
        --m_renamingRuns;
        m_previewBusy = false;
        m_pointers->Set(m_pointerBeforeRun);
        BlockUndoWhileBusy();
        m_undo->AfterRun();
        m_planner->Resume();
    }
}

void Form1::FinishStartRenaming(bool closing) {
    using namespace start_renaming_lines;
    RenameRunJob* const ended = std::exchange(m_renaming, nullptr);
    RenameRunState& state = ended->State();
    ErrorTrap trap(m_dialogs, QString::fromLatin1(kStartRenamingLocation));

    trap.Step(kRenamePass, [&] {
        AdoptRows(m_list, state.rows);
        // What the run did with each row, shown until something new is asked of it.
        auto kept = std::make_shared<RenameRun>();
        kept->outcomes = state.run.outcomes;
        m_model->RecordRun(std::move(kept));
    });
    BlockUndoWhileBusy();
    m_undo->AfterRun();
    const bool stopped =
        !state.run.outcomes.empty() && state.run.outcomes.back().fate.status == RowStatus::NotTried;
    if (!closing) {
        qsizetype& reports = *m_reportsThisRun;
        for (const qsizetype position : state.unreported) {
            if (++reports > kReportsPerRun) continue;
            trap.Reach(kRenameRow);
            trap.Fail(state.run.outcomes[static_cast<size_t>(position - 1)].Report());
        }
        if (reports > kReportsPerRun) {
            trap.Step(kRenameRow, [&] {
                m_dialogs.ShowMessage(
                    Trellisane::tr(
                        "%n more folder(s) could not be renamed. Each of their rows is marked with "
                        "the reason.",
                        nullptr, static_cast<int>(reports - kReportsPerRun)),
                    m_title, DialogIcon::Exclamation, DialogButtons::Ok);
            });
        }
        if (stopped) {
            // The rest can still be run: the button stays enabled.
            trap.Step(kDone, [&] {
                m_dialogs.ShowMessage(StoppedRunMessage(state.run), m_title, DialogIcon::None,
                                      DialogButtons::Ok);
            });
        } else {
            trap.Step(kDone, [&] {
                m_dialogs.ShowMessage(Trellisane::tr("Done."), m_title, DialogIcon::None,
                                      DialogButtons::Ok);
            });
            trap.Step(kDisableStart, [&] { PushButton2->setEnabled(false); });
        }
    }

    m_previewBusy = false;
    m_pointers->Set(m_pointerBeforeRun);
    --m_renamingRuns;
    ended->deleteLater();
    if (!closing) {
        AddsFollowRun(state.run.moves);  // closing drops the adds anyway
        m_planner->Resume();
    }
}

void Form1::StopRenaming() {
    if (m_renaming == nullptr) return;
    if (m_renaming->Stop(QDeadlineTimer(kWorkerExitWaitMs))) {
        FinishStartRenaming(true);
        return;
    }
    // Stuck in a system call: the worker keeps its own copy and record; the window lets go.
    m_renaming->deleteLater();
    m_renaming = nullptr;
    --m_renamingRuns;
}

}  // namespace trellisane
