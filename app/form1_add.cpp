// "Add Folder/s", and how its batch meets a Start Renaming run while it is under way.
//
// An add gathers and sorts its folders as a BackgroundJob, so the window stays live however
// large the tree. The work touches no widget and no row: it only fills the add's own result,
// asks the user-interface thread to show a walk's error report (and waits for OK), and returns;
// the job's `finished` then ends the add here. A batch that is ready while Start Renaming runs
// waits for the run to end and is then carried through the run's renames before it is appended.

#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <exception>
#include <utility>

#include "app/background_job.h"
#include "app/form1.h"
#include "app/handler_lines.h"
#include "app/rename_plan_job.h"
#include "app/settings_store.h"
#include "app/undo_last_renaming.h"
#include "engine/error_report.h"
#include "folders/folder_entries.h"
#include "folders/path_separator.h"
#include "rename/start_renaming.h"
#include "shell/dialogs.h"
#include "shell/texts.h"

namespace trellisane {

namespace {

/// What an add's work produces: the work's own until it returns, the window's afterwards (the
/// job's queued `finished` orders the two).
struct AddResult {
    std::vector<QStringList> gatherings;  // one per batch: "Add Folder/s" has one
    std::vector<QStringList> sorted;      // the batches in depth order, in the same order
    std::exception_ptr error;             // a failure of the walk or the sort
    int errorLine = 0;
    std::vector<QByteArray> skipped;  // folders the walk left out by its naming rule
};

/// How often an outside add waiting for a dialog looks whether it has closed.
constexpr int kDialogPollMs = 100;
/// At most this many names in the message about what is no folder; the rest are counted.
constexpr qsizetype kNamedNotFolders = 20;

/// The one message naming what an outside add cannot list.
QString NotFoldersMessage(const QStringList& names) {
    QString named = names.mid(0, kNamedNotFolders).join(QLatin1Char('\n'));
    if (names.size() > kNamedNotFolders) {
        named += Trellisane::tr("\n… and %1 more").arg(names.size() - kNamedNotFolders);
    }
    return Trellisane::tr("Only folders are listed, so these were not added:\n\n%1").arg(named);
}

/// How many left-out folders the message names before it says "and N more".
constexpr std::size_t kSkippedShown = 5;

/// The message after an add that left folders out: how many, why, and the first few.
QString SkippedMessage(const std::vector<QByteArray>& skipped) {
    QString text = Trellisane::tr(
        "%n folder(s) beneath the folder you added were left out, each with everything "
        "beneath it, and will not be renamed: their names hold a character outside the "
        "single-byte character set, a \"?\" or a control character, or are 260 "
        "characters or longer.",
        nullptr, static_cast<int>(skipped.size()));
    text += QStringLiteral("\n");
    for (std::size_t i = 0; i < skipped.size() && i < kSkippedShown; ++i) {
        text += u'\n' + QFile::decodeName(skipped[i]);
    }
    if (skipped.size() > kSkippedShown) {
        text += u'\n' + Trellisane::tr("and %n more", nullptr,
                                       static_cast<int>(skipped.size() - kSkippedShown));
    }
    return text;
}

}  // namespace

/// One add from the click to its appended batch. User-interface thread only.
struct Form1::AddJob {
    explicit AddJob(Dialogs& dialogs)
        : trap(dialogs, QString::fromLatin1(lines::kAddFoldersLocation)),
          result(std::make_shared<AddResult>()) {}

    ErrorTrap trap;
    std::vector<PathMove> moves;  // renames made on disk while this add was under way
    std::shared_ptr<AddResult> result;
    BackgroundJob* worker = nullptr;  // a child of the window until the add ends
};

void Form1::PushButton3_Click() {
    using namespace lines;
    if (m_renaming != nullptr) return;  // nothing comes between a run's rows
    auto job = std::make_shared<AddJob>(m_dialogs);
    ErrorTrap& trap = job->trap;

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

    m_adds.push_back(job);
    BlockUndoWhileBusy();
    trap.Step(kAddBusyPointer, [&] { m_pointers->Set(kPointerBusy); });
    // One separator is appended whatever the path ends with, so the root "/" becomes "//".
    trap.Step(kAddGatheringList,
              [&] { job->result->gatherings = {QStringList{chosen + kPathSeparator}}; });
    bool recursive = false;
    trap.Step(kAddWalk, [&] { recursive = Check1->isChecked(); });
    StartAddWorker(job, recursive);
}

void Form1::AddFromOutside(OutsideAdd add) {
    m_outsideWaiting.push_back(std::move(add));
    if (m_outsideWaiting.size() == 1) StartWaitingOutsideAdds();
}

void Form1::StartWaitingOutsideAdds() {
    using namespace lines;
    if (m_outsideWaiting.empty()) return;
    // While a dialog asks something the add waits, so nothing changes under the question;
    // during a run it waits for the run's end (AddsFollowRun carries its folders through the
    // run's renames), so it never walks a tree while it is being renamed.
    if (m_renamingRuns > 0 || QApplication::activeModalWidget() != nullptr) {
        QTimer::singleShot(kDialogPollMs, this, [this] { StartWaitingOutsideAdds(); });
        return;
    }
    const std::vector<OutsideAdd> waiting = std::exchange(m_outsideWaiting, {});
    for (const OutsideAdd& add : waiting) {
        auto job = std::make_shared<AddJob>(m_dialogs);
        ErrorTrap& trap = job->trap;
        QStringList folders;
        QStringList notFolders = add.notFolders;
        trap.Step(kAddNothingChosen, [&] {
            for (const QString& path : add.folders) {
                (QFileInfo(path).isDir() ? folders : notFolders) << path;
            }
        });
        if (!notFolders.isEmpty()) {
            trap.Step(kAddNothingChosen, [&] {
                m_dialogs.ShowMessage(NotFoldersMessage(notFolders), m_title,
                                      DialogIcon::Exclamation, DialogButtons::Ok);
            });
        }
        if (folders.isEmpty()) continue;  // nothing was asked for that could be listed

        m_adds.push_back(job);
        BlockUndoWhileBusy();
        trap.Step(kAddBusyPointer, [&] { m_pointers->Set(kPointerBusy); });
        trap.Step(kAddGatheringList, [&] {
            for (const QString& folder : folders) {
                job->result->gatherings.push_back(QStringList{folder + kPathSeparator});
            }
        });
        bool recursive = false;
        trap.Step(kAddWalk, [&] {
            if (add.subfolders == true) Check1->setChecked(true);
            recursive = add.subfolders.value_or(Check1->isChecked());
        });
        StartAddWorker(job, recursive);
    }
}

void Form1::StartAddWorker(const std::shared_ptr<AddJob>& job, bool recursive) {
    auto work = [result = job->result, recursive, walk = m_walk,
                 dialogs = &m_dialogs](JobContext& context) {
        WalkHooks hooks;
        hooks.cancelled = [&context] { return context.Cancelled(); };
        hooks.skipped = [&result](const QByteArray& path) { result->skipped.push_back(path); };
        hooks.report = [&context, dialogs](const QString& description, int line) {
            // Shown on the user-interface thread; the walk waits until OK is pressed, or until
            // the window closes.
            context.Ask<bool>(
                [dialogs, description, line] {
                    ShowErrorReport(*dialogs, description, QString::fromLatin1(kWalkLocation),
                                    line);
                    return true;
                },
                false);
        };
        for (QStringList& gathering : result->gatherings) {
            if (!recursive || context.Cancelled()) break;
            try {
                walk(gathering, hooks);
            } catch (...) {
                if (!result->error) {
                    result->error = std::current_exception();
                    result->errorLine = lines::kAddWalk;
                }
            }
        }
        if (context.Cancelled()) return;
        for (const QStringList& gathering : result->gatherings) {
            try {
                result->sorted.push_back(SortBatch(gathering, kPathSeparator));
            } catch (...) {
                result->sorted.emplace_back();
                if (!result->error) {
                    result->error = std::current_exception();
                    result->errorLine = lines::kAddAppend;
                }
            }
        }
    };

    job->worker = new BackgroundJob(std::move(work), this);
    connect(job->worker, &BackgroundJob::finished, this, [this, added = job.get()] {
        const auto inFlight = std::find_if(m_adds.begin(), m_adds.end(),
                                           [added](const auto& add) { return add.get() == added; });
        if (inFlight != m_adds.end()) FinishAdd(*inFlight);
    });
    if (!job->worker->Start()) {
        // No thread to be had: the add ends at once, reporting why, with what it has.
        job->trap.Reach(lines::kAddWalk);
        job->trap.Fail(DescribeError(EAGAIN));
        job->result->sorted = job->result->gatherings;
        FinishAdd(job);
    }
}

void Form1::FinishAdd(const std::shared_ptr<AddJob>& job) {
    using namespace lines;
    const auto inFlight = std::find(m_adds.begin(), m_adds.end(), job);
    if (job->worker->Cancelled() || inFlight == m_adds.end()) return;
    if (m_renamingRuns > 0) {
        // Appended when the run has ended, with its paths carried through the run's renames.
        if (std::find(m_waitingForRun.begin(), m_waitingForRun.end(), job) ==
            m_waitingForRun.end()) {
            m_waitingForRun.push_back(job);
        }
        return;
    }
    const std::shared_ptr<AddJob> ending = job;  // `job` may be the entry erased here
    m_adds.erase(inFlight);
    BlockUndoWhileBusy();
    ending->worker->deleteLater();  // its work has returned; this may run inside its signal

    ErrorTrap& trap = ending->trap;
    AddResult& result = *ending->result;
    if (result.error) {
        trap.Reach(result.errorLine);
        trap.Fail(DescribeException(result.error));
    }
    for (QStringList& sorted : result.sorted) {
        trap.Step(kAddAppend, [&] {
            QStringList batch = std::move(sorted);
            if (!ending->moves.empty()) {
                CarryThroughMoves(batch, ending->moves);
                batch = SortBatch(batch, kPathSeparator);
            }
            m_list.AppendInOrder(batch);
        });
    }
    if (!result.skipped.empty()) {
        // Told once, before the preview pass: these folders are in neither the list nor the run.
        trap.Step(kAddAppend, [&] {
            m_dialogs.ShowMessage(SkippedMessage(result.skipped), m_title, DialogIcon::None,
                                  DialogButtons::Ok);
        });
    }
    // The first add to finish restores the default pointer, even while another is under way.
    trap.Step(kAddDefaultPointer, [&] { m_pointers->Set(kPointerDefault); });
    trap.Step(kAddPreview, [&] { PreviewRename(); });
}

void Form1::StopAdds() {
    // Every job is a child of the window, whatever its kind of work.
    const QList<BackgroundJob*> children = findChildren<BackgroundJob*>(Qt::FindDirectChildrenOnly);
    const std::vector<BackgroundJob*> jobs(children.begin(), children.end());
    // A job still stuck after the wait has let go of the window and is left to the exit.
    BackgroundJob::StopAll(jobs, QDeadlineTimer(kWorkerExitWaitMs));
    // Later, not now: a close from inside a job's question still has that job on the stack.
    for (BackgroundJob* job : jobs) {
        if (job->parent() == this) job->deleteLater();
    }
    m_adds.clear();
    m_waitingForRun.clear();
    if (m_undo != nullptr) BlockUndoWhileBusy();
}

void Form1::AddsFollowRun(const std::vector<PathMove>& moves) {
    // Every add under way gathered its paths before these renames: they follow the folders.
    for (const std::shared_ptr<AddJob>& job : m_adds) {
        job->moves.insert(job->moves.end(), moves.begin(), moves.end());
    }
    // Outside adds held for the run name their folders as they were before it.
    for (OutsideAdd& add : m_outsideWaiting) CarryThroughMoves(add.folders, moves);
    if (m_renamingRuns == 0) {
        const auto waiting = std::exchange(m_waitingForRun, {});
        for (const std::shared_ptr<AddJob>& job : waiting) FinishAdd(job);
        StartWaitingOutsideAdds();
    }
}

}  // namespace trellisane
