// "Add Folder/s" and "Start Renaming": the two handlers that meet while an add is under way.
//
// An add gathers and sorts its folders on a worker thread, so the window stays live however
// large the tree. The worker touches no widget and no row: it only fills its own job, asks the
// user-interface thread to show a walk's error report (and waits for OK), and finally asks it
// to finish the add. A batch that is ready while Start Renaming runs waits for the run to end
// and is then carried through the run's renames before it is appended.

#include <QCheckBox>
#include <QMetaObject>
#include <QPushButton>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

#include "app/form1.h"
#include "app/handler_lines.h"
#include "app/settings_store.h"
#include "engine/error_report.h"
#include "folders/path_separator.h"
#include "rename/start_renaming.h"
#include "shell/dialogs.h"

namespace trellisane {

/// One add from the click to its appended batch.
struct Form1::AddJob {
    explicit AddJob(Dialogs& dialogs)
        : trap(dialogs, QString::fromLatin1(lines::kAddFoldersLocation)) {}

    // User-interface thread only.
    ErrorTrap trap;
    std::vector<PathMove> moves;  // renames made on disk while this add was under way

    // The worker's until it asks for FinishAdd, the user-interface thread's afterwards (the
    // queued call orders the two).
    QStringList gathering;
    QStringList sorted;
    std::exception_ptr error;  // a failure of the walk or the sort
    int errorLine = 0;

    std::thread worker;
    std::atomic<bool> cancelled{false};
    std::mutex mutex;  // guards the wait for a walk report's OK
    std::condition_variable wake;
};

void Form1::PushButton3_Click() {
    using namespace lines;
    auto job = std::make_shared<AddJob>(m_dialogs);
    ErrorTrap& trap = job->trap;

    QString initialFolder;
    trap.Step(kAddReadLastFolder, [&] { initialFolder = GetSetting(kLastFolderKey, QString()); });
    QString chosen;
    trap.Step(kAddBrowse, [&] {
        chosen = m_dialogs.BrowseFolder(QStringLiteral("Please select folder:"), initialFolder);
    });
    bool nothingChosen = true;
    trap.Step(kAddNothingChosen, [&] { nothingChosen = chosen.isEmpty(); });
    if (nothingChosen) {
        trap.Step(kAddPreview, [&] { PreviewRename(); });
        return;
    }

    m_adds.push_back(job);
    trap.Step(kAddBusyPointer, [&] { SetPointer(kPointerBusy); });
    // One separator is appended whatever the path ends with, so the root "/" becomes "//".
    trap.Step(kAddGatheringList, [&] { job->gathering = QStringList{chosen + kPathSeparator}; });
    bool recursive = false;
    trap.Step(kAddWalk, [&] { recursive = Check1->isChecked(); });
    StartAddWorker(job, recursive);
}

void Form1::StartAddWorker(const std::shared_ptr<AddJob>& job, bool recursive) {
    WalkHooks hooks;
    hooks.cancelled = [job] { return job->cancelled.load(); };
    hooks.report = [this, job](const QString& description, int line) {
        // Shown on the user-interface thread; the walk waits here until OK is pressed, or
        // until the window closes.
        auto answered = std::make_shared<bool>(false);  // guarded by job->mutex
        QMetaObject::invokeMethod(
            this,
            [this, job, answered, description, line] {
                if (!job->cancelled) {
                    ShowErrorReport(m_dialogs, description, QString::fromLatin1(kWalkLocation),
                                    line);
                }
                {
                    const std::lock_guard<std::mutex> lock(job->mutex);
                    *answered = true;
                }
                job->wake.notify_all();
            },
            Qt::QueuedConnection);
        std::unique_lock<std::mutex> lock(job->mutex);
        job->wake.wait(lock, [&] { return *answered || job->cancelled.load(); });
    };

    auto work = [this, job, recursive, walk = m_walk, hooks] {
        if (recursive) {
            try {
                walk(job->gathering, hooks);
            } catch (...) {
                job->error = std::current_exception();
                job->errorLine = lines::kAddWalk;
            }
        }
        if (job->cancelled) return;
        try {
            job->sorted = SortBatch(job->gathering, kPathSeparator);
        } catch (...) {
            if (!job->error) {
                job->error = std::current_exception();
                job->errorLine = lines::kAddAppend;
            }
        }
        if (job->cancelled) return;
        QMetaObject::invokeMethod(
            this, [this, job] { FinishAdd(job); }, Qt::QueuedConnection);
    };

    try {
        job->worker = std::thread(std::move(work));
    } catch (...) {
        // No thread to be had: the add ends at once, reporting why, with what it has.
        job->error = std::current_exception();
        job->errorLine = lines::kAddWalk;
        job->sorted = job->gathering;
        FinishAdd(job);
    }
}

void Form1::FinishAdd(const std::shared_ptr<AddJob>& job) {
    using namespace lines;
    const auto inFlight = std::find(m_adds.begin(), m_adds.end(), job);
    if (job->cancelled || inFlight == m_adds.end()) return;
    if (m_renamingRuns > 0) {
        // Appended when the run has ended, with its paths carried through the run's renames.
        m_waitingForRun.push_back(job);
        return;
    }
    if (job->worker.joinable()) job->worker.join();  // it has nothing left to do
    m_adds.erase(inFlight);

    ErrorTrap& trap = job->trap;
    if (job->error) trap.Step(job->errorLine, [&] { std::rethrow_exception(job->error); });
    trap.Step(kAddAppend, [&] {
        QStringList batch = std::move(job->sorted);
        if (!job->moves.empty()) {
            CarryThroughMoves(batch, job->moves);
            batch = SortBatch(batch, kPathSeparator);
        }
        m_list.AppendInOrder(batch);
    });
    // The first add to finish restores the default pointer, even while another is under way.
    trap.Step(kAddDefaultPointer, [&] { SetPointer(kPointerDefault); });
    trap.Step(kAddPreview, [&] { PreviewRename(); });
}

void Form1::StopAdds() {
    for (const std::shared_ptr<AddJob>& job : m_adds) {
        {
            const std::lock_guard<std::mutex> lock(job->mutex);
            job->cancelled = true;
        }
        job->wake.notify_all();
    }
    for (const std::shared_ptr<AddJob>& job : m_adds) {
        if (job->worker.joinable()) job->worker.join();
    }
    m_adds.clear();
    m_waitingForRun.clear();
}

void Form1::PushButton2_Click() {
    RenameRun run;
    ++m_renamingRuns;
    {
        // StartRenaming reports its own failures; this only keeps an unexpected one from
        // leaving the window believing a run is still under way.
        ErrorTrap trap(m_dialogs, QString::fromLatin1(kStartRenamingLocation));
        trap.Step(100, [&] {
            run = StartRenaming(m_list, m_dialogs, m_title,
                                [this] { PushButton2->setEnabled(false); });
        });
    }
    --m_renamingRuns;

    // Every add under way gathered its paths before these renames: they follow the folders.
    for (const std::shared_ptr<AddJob>& job : m_adds) {
        job->moves.insert(job->moves.end(), run.moves.begin(), run.moves.end());
    }
    if (m_renamingRuns == 0) {
        const auto waiting = std::exchange(m_waitingForRun, {});
        for (const std::shared_ptr<AddJob>& job : waiting) FinishAdd(job);
    }
}

}  // namespace trellisane
