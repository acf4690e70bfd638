#include "control/rename_controller.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <exception>
#include <utility>

#include "control/background_job.h"
#include "control/history_keeper.h"
#include "control/report_lines.h"
#include "folders/folder_entries.h"
#include "folders/path_separator.h"
#include "folders/samples.h"
#include "shell/dialogs.h"
#include "shell/error_text.h"
#include "shell/texts.h"

namespace trellisane {

namespace {

/// How often an outside add waiting for a dialog looks whether it has closed.
constexpr int kDialogPollMs = 100;
/// At most this many names in the message about what is no folder; the rest are counted.
constexpr qsizetype kNamedNotFolders = 20;
/// How many left-out folders the message names before it says "and N more".
constexpr std::size_t kSkippedShown = 5;

/// What an add's work produces: the work's own until it returns, the controller's afterwards
/// (the job's queued `finished` orders the two).
struct AddResult {
    /// One batch walked into a tree of its own: its folders as nodes, in depth order once
    /// sorted.
    struct TreeBatch {
        FolderTree tree;
        std::vector<FolderTree::NodeId> nodes;
        FolderList::PreparedRows rows;  // the list's rows for `nodes`, made on the worker
    };
    std::vector<QStringList> gatherings;  // one per batch: "Add Folder/s" has one
    std::vector<QStringList> sorted;      // the batches in depth order, in the same order
    std::vector<TreeBatch> trees;         // instead of `sorted`, from the walk into trees
    std::exception_ptr error;             // a failure of the walk or the sort
    int errorLine = 0;
    std::vector<QByteArray> skipped;  // folders the walk left out by its naming rule
};

/// The one message naming what an outside add cannot list.
QString NotFoldersMessage(const QStringList& names) {
    QString named = names.mid(0, kNamedNotFolders).join(QLatin1Char('\n'));
    if (names.size() > kNamedNotFolders) {
        named += Trellisane::tr("\n… and %1 more").arg(names.size() - kNamedNotFolders);
    }
    return Trellisane::tr("Only folders are listed, so these were not added:\n\n%1").arg(named);
}

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

QString StoppedRunMessage(const RenameRun& run) {
    qsizetype renamed = 0;
    qsizetype unchanged = 0;
    qsizetype notTried = 0;
    qsizetype failed = 0;
    for (const RowOutcome& outcome : run.outcomes) {
        switch (outcome.fate.status) {
            case RowStatus::Renamed:
                ++renamed;
                break;
            case RowStatus::Unchanged:
                ++unchanged;
                break;
            case RowStatus::NotTried:
                ++notTried;
                break;
            default:
                ++failed;
                break;
        }
    }
    QString text = Trellisane::tr("Renaming was stopped: %1 of %2 folders renamed")
                       .arg(renamed)
                       .arg(run.outcomes.size());
    if (unchanged > 0) {
        text += Trellisane::tr(", %1 left as they are (their names do not change)").arg(unchanged);
    }
    if (failed > 0) text += Trellisane::tr(", %1 could not be renamed").arg(failed);
    text += Trellisane::tr(", %1 not tried").arg(notTried);
    return text + Trellisane::tr(". \"Start Renaming\" renames the folders not tried.");
}

bool Allows(Busy busy, bool pointerHeld, Action action) {
    switch (action) {
        case Action::Preview:
        case Action::Add:
        case Action::StartRenaming:
            return busy == Busy::Idle || busy == Busy::Adding;
        case Action::RemoveRows:
            return !PointerBusyIn(busy, pointerHeld);
        case Action::Undo:
            return busy == Busy::Idle;
    }
    return false;
}

bool PointerBusyIn(Busy busy, bool pointerHeld) {
    return busy == Busy::Renaming || busy == Busy::Undoing || (busy == Busy::Adding && pointerHeld);
}

QString UndoMessage(const UndoReport& result) {
    QString text =
        result.putBack == 1
            ? Trellisane::tr("1 folder was put back where it was before the last run.")
            : Trellisane::tr("%1 folders were put back where they were before the last run.")
                  .arg(result.putBack);
    if (result.keptByEarlierRuns > 0) {
        text += u' ' + Trellisane::tr(
                           "The undo covers the last run only: %1 folders renamed by "
                           "earlier runs keep their new names.")
                           .arg(result.keptByEarlierRuns);
    }
    if (!result.notPutBack.empty())
        text += QStringLiteral("\n\n") + NotPutBackMessage(result.notPutBack);
    return text;
}

/// One add from its busy pointer to its appended batch.
struct RenameController::AddJob {
    explicit AddJob(ErrorTrap errorTrap)
        : trap(std::move(errorTrap)), result(std::make_shared<AddResult>()) {}

    ErrorTrap trap;
    std::vector<PathMove> moves;  // renames made on disk while this add was under way
    std::shared_ptr<AddResult> result;
    BackgroundJob* worker = nullptr;  // a child of the controller until the add ends
};

RenameController::RenameController(Dialogs& dialogs, WalkFn walk, QObject* parent)
    : QObject(parent),
      m_dialogs(dialogs),
      m_walk(std::move(walk)),
      m_previewTimer(new QTimer(this)),
      m_startTimer(new QTimer(this)),
      m_adoptTimer(new QTimer(this)) {
    m_startTimer->setSingleShot(true);
    m_startTimer->setInterval(0);
    connect(m_startTimer, &QTimer::timeout, this, &RenameController::CopyRunRows);
    m_previewTimer->setSingleShot(true);
    m_previewTimer->setInterval(0);
    connect(m_previewTimer, &QTimer::timeout, this, [this] { WritePreviewSlice(true); });
    m_adoptTimer->setSingleShot(true);
    m_adoptTimer->setInterval(0);
    connect(m_adoptTimer, &QTimer::timeout, this, [this] { FinishStartRenaming(false); });
}

RenameController::~RenameController() = default;

void RenameController::SetHooks(ControllerHooks hooks) {
    m_hooks = std::move(hooks);
    // The history keeps what the latest pass ran with: the run renames what it wrote.
    m_hooks.preview.answered = [this, told = std::move(m_hooks.preview.answered)](
                                   Operation operation, const PromptAnswers& answers) {
        m_lastOperation = operation;
        m_lastAnswers = answers;
        return told ? told(operation, answers) : quint32{0};
    };
}

void RenameController::SetPlatform(RenamePlatform platform) { m_platform = std::move(platform); }

Busy RenameController::State() const {
    if (m_run != nullptr || m_starting) return Busy::Renaming;
    if (m_undoing) return Busy::Undoing;
    if (!m_adds.empty()) return Busy::Adding;
    return Busy::Idle;
}

bool RenameController::Allows(Action action) const {
    return trellisane::Allows(State(), m_pointerHeld, action);
}

bool RenameController::PointerBusy() const { return PointerBusyIn(State(), m_pointerHeld); }

bool RenameController::PreviewBusy() const {
    return m_previewing || m_previewHeld || !Allows(Action::Preview);
}

bool RenameController::CanUndo() const {
    // Asked first: while a run goes, its worker records into the last run's moves.
    if (!Allows(Action::Undo)) return false;
    const bool kept = m_history != nullptr && m_history->HasNext();
    return m_lastRun->CanUndo() || kept;
}

void RenameController::Change(const std::function<void()>& change, bool pointerToDefault) {
    const bool wasBusy = PointerBusy();
    change();
    const bool busy = PointerBusy();
    if (busy != wasBusy) Q_EMIT pointerChanged(busy, !pointerToDefault);
    Q_EMIT busyChanged();
}

void RenameController::Preview() {
    if (PreviewBusy()) return;
    FinishPendingPreview();  // a pass still writing ends as if written at once
    PreviewHooks hooks = m_hooks.preview;
    hooks.enableStartRenaming = [this] { Q_EMIT startRenamingEnabled(true); };
    hooks.writeRows = [this](Operation operation, const PromptAnswers& answers, quint32 pass) {
        if (m_list.Count() <= m_previewSlice) {
            PreviewRows(m_list, operation, answers, pass);
            return;
        }
        // A long list: the first slice now (inside the pass, so a failure there is reported
        // as the pass's own), the rest one slice a turn of the event loop.
        PreviewRows(m_list, operation, answers, pass, 1, m_previewSlice);
        m_pendingPreview = PendingPreview{operation, answers, pass, m_previewSlice + 1};
        m_previewTimer->start();
    };
    if (PreviewRename(m_previewing, m_list, hooks) && !m_pendingPreview) Q_EMIT previewed();
}

void RenameController::WritePreviewSlice(bool thenWait) {
    if (!m_pendingPreview) return;
    PendingPreview& pending = *m_pendingPreview;
    const qsizetype last = std::min(m_list.Count(), pending.next + m_previewSlice - 1);
    ErrorTrap trap(m_hooks.preview.report);
    trap.Reach(preview_lines::kWriteNewPaths);
    trap.Step(preview_lines::kWriteNewPaths, [&] {
        PreviewRows(m_list, pending.operation, pending.answers, pending.pass, pending.next, last);
    });
    if (!m_pendingPreview) return;  // the report's dialog let something end the pass
    m_pendingPreview->next = last + 1;
    if (m_pendingPreview->next <= m_list.Count()) {
        if (thenWait) m_previewTimer->start();
        return;
    }
    m_pendingPreview.reset();
    Q_EMIT previewed();
}

void RenameController::FinishPendingPreview() {
    m_previewTimer->stop();
    while (m_pendingPreview) WritePreviewSlice(false);
}

bool RenameController::RemoveRow(qsizetype position) {
    if (!Allows(Action::RemoveRows)) return false;
    FinishPendingPreview();
    if (position >= 1 && position <= m_list.Count()) m_list.Remove(position);
    return true;
}

bool RenameController::Clear() {
    if (!Allows(Action::RemoveRows)) return false;
    m_pendingPreview.reset();  // its rows go: nothing is left to write
    m_previewTimer->stop();
    m_list.Clear();
    return true;
}

bool RenameController::RemoveRowsThatCannotBeRenamed(const std::vector<RowFate>& fates) {
    if (!Allows(Action::RemoveRows)) return false;
    FinishPendingPreview();
    std::vector<bool> marked(fates.size());
    for (std::size_t row = 0; row < fates.size(); ++row) marked[row] = !Succeeds(fates[row].status);
    m_list.RemoveMarked(marked);
    return true;
}

// ---- Adding

void RenameController::StartAdd(ErrorTrap trap, const QStringList& folders, bool recursive) {
    using namespace lines;
    auto job = std::make_shared<AddJob>(std::move(trap));
    job->trap.Step(kAddBusyPointer, [&] {
        Change([&] {
            m_adds.push_back(job);
            m_pointerHeld = true;
        });
    });
    // One separator is appended whatever the path ends with, so the root "/" becomes "//".
    job->trap.Step(kAddGatheringList, [&] {
        for (const QString& folder : folders) {
            job->result->gatherings.push_back(QStringList{folder + kPathSeparator});
        }
    });
    job->trap.Reach(kAddWalk);
    StartAddWorker(job, recursive);
}

void RenameController::AddFromOutside(OutsideAdd add) {
    m_outsideWaiting.push_back(std::move(add));
    if (m_outsideWaiting.size() == 1) StartWaitingOutsideAdds();
}

void RenameController::StartWaitingOutsideAdds() {
    using namespace lines;
    if (m_outsideWaiting.empty()) return;
    // While a dialog asks something the add waits, so nothing changes under the question;
    // during a run it waits for the run's end (AddsFollowRun carries its folders through the
    // run's renames), so it never walks a tree while it is being renamed.
    if (!Allows(Action::Add) || (m_hooks.dialogOpen && m_hooks.dialogOpen())) {
        QTimer::singleShot(kDialogPollMs, this, [this] { StartWaitingOutsideAdds(); });
        return;
    }
    const std::vector<OutsideAdd> waiting = std::exchange(m_outsideWaiting, {});
    for (const OutsideAdd& add : waiting) {
        ErrorTrap trap(m_dialogs, QString::fromLatin1(kAddFoldersLocation));
        QStringList folders;
        QStringList notFolders = add.notFolders;
        trap.Step(kAddNothingChosen, [&] {
            for (const QString& path : add.folders) {
                (IsFolder(QFile::encodeName(path)) ? folders : notFolders) << path;
            }
        });
        if (!notFolders.isEmpty()) {
            trap.Step(kAddNothingChosen, [&] {
                m_dialogs.ShowMessage(NotFoldersMessage(notFolders), m_title,
                                      DialogIcon::Exclamation, DialogButtons::Ok);
            });
        }
        if (folders.isEmpty()) continue;  // nothing was asked for that could be listed
        bool recursive = false;
        trap.Step(kAddWalk, [&] {
            recursive = m_hooks.subfolders ? m_hooks.subfolders(add.subfolders)
                                           : add.subfolders.value_or(false);
        });
        StartAdd(trap, folders, recursive);
    }
}

namespace {

/// The add's work with the sub-folder walk of its own: each gathering walked into a tree, its
/// folders filed as nodes and put in depth order there, so no path is built for a row.
void WalkIntoTrees(AddResult& result, bool recursive, const JobContext& context,
                   const WalkHooks& hooks) {
    result.trees.resize(result.gatherings.size());
    for (std::size_t g = 0; g < result.gatherings.size(); ++g) {
        AddResult::TreeBatch& batch = result.trees[g];
        for (const QString& path : result.gatherings[g]) {
            batch.nodes.push_back(batch.tree.Add(path));
        }
    }
    for (AddResult::TreeBatch& batch : result.trees) {
        if (!recursive || context.Cancelled()) break;
        try {
            GetSubDirectories2016(batch.tree, batch.nodes, true, hooks);
        } catch (...) {
            if (!result.error) {
                result.error = std::current_exception();
                result.errorLine = lines::kAddWalk;
            }
        }
    }
    if (context.Cancelled()) return;
    for (AddResult::TreeBatch& batch : result.trees) {
        try {
            std::vector<FolderTree::NodeId> sorted;
            sorted.reserve(batch.nodes.size());
            for (const qsizetype i : BatchOrder(batch.tree, batch.nodes)) {
                sorted.push_back(batch.nodes[static_cast<std::size_t>(i)]);
            }
            batch.nodes = std::move(sorted);
            batch.rows = FolderList::PrepareRows(batch.nodes);
            // Room for the new path the preview will write beside each row (a new name may be
            // longer), made here: the tables' growth would otherwise come midway through the
            // preview, on the window's thread, all at once.
            batch.tree.ReserveMore(batch.nodes.size(), 2 * batch.tree.NameUnits());
        } catch (...) {
            batch.nodes.clear();
            if (!result.error) {
                result.error = std::current_exception();
                result.errorLine = lines::kAddAppend;
            }
        }
    }
}

}  // namespace

void RenameController::StartAddWorker(const std::shared_ptr<AddJob>& job, bool recursive) {
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
        if (!walk) {
            WalkIntoTrees(*result, recursive, context, hooks);
            return;
        }
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

void RenameController::FinishAdd(const std::shared_ptr<AddJob>& job) {
    using namespace lines;
    const auto inFlight = std::find(m_adds.begin(), m_adds.end(), job);
    if (job->worker->Cancelled() || inFlight == m_adds.end()) return;
    if (State() == Busy::Renaming) {
        // Appended when the run has ended, with its paths carried through the run's renames.
        if (std::find(m_waitingForRun.begin(), m_waitingForRun.end(), job) ==
            m_waitingForRun.end()) {
            m_waitingForRun.push_back(job);
        }
        return;
    }
    const std::shared_ptr<AddJob> ending = job;  // `job` may be the entry erased here
    Change([&] { m_adds.erase(inFlight); });
    ending->worker->deleteLater();  // its work has returned; this may run inside its signal
    FinishPendingPreview();         // the batch comes after rows written as their pass asked

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
    for (AddResult::TreeBatch& walked : result.trees) {
        trap.Step(kAddAppend, [&] {
            if (ending->moves.empty()) {
                m_list.AppendOrdered(std::move(walked.tree), walked.nodes, std::move(walked.rows));
                return;
            }
            QStringList batch;
            batch.reserve(static_cast<qsizetype>(walked.nodes.size()));
            for (const FolderTree::NodeId node : walked.nodes) batch << walked.tree.PathOf(node);
            CarryThroughMoves(batch, ending->moves);
            m_list.AppendInOrder(SortBatch(batch, kPathSeparator));
        });
    }
    if (!result.skipped.empty()) {
        // Told once, before the preview pass: these folders are in neither the list nor the run.
        trap.Step(kAddAppend, [&] {
            m_dialogs.ShowMessage(SkippedMessage(result.skipped), m_title, DialogIcon::None,
                                  DialogButtons::Ok);
        });
    }
    // The first add to finish gives the default pointer back, even while another is under way.
    trap.Step(kAddDefaultPointer, [&] { Change([&] { m_pointerHeld = false; }, true); });
    trap.Step(kAddPreview, [&] { Preview(); });
}

void RenameController::AddsFollowRun(const std::vector<PathMove>& moves) {
    // Every add under way gathered its paths before these renames: they follow the folders.
    for (const std::shared_ptr<AddJob>& job : m_adds) {
        job->moves.insert(job->moves.end(), moves.begin(), moves.end());
    }
    // Outside adds held for the run name their folders as they were before it.
    for (OutsideAdd& add : m_outsideWaiting) CarryThroughMoves(add.folders, moves);
    if (State() != Busy::Renaming) {
        const auto waiting = std::exchange(m_waitingForRun, {});
        for (const std::shared_ptr<AddJob>& job : waiting) FinishAdd(job);
        StartWaitingOutsideAdds();
    }
}

void RenameController::AddSamples(ErrorTrap& trap, const QString& samplesPath) {
    using namespace lines;
    FinishPendingPreview();
    SampleFolder samples(samplesPath);
    trap.Check(kSamplesOpen, [&] { return samples.Open(); });
    trap.Check(kSamplesList, [&] { return samples.List(); });
    trap.Check(kSamplesWalk, [&]() -> std::optional<QString> {
        if (!samples.Listed()) {
            return Trellisane::tr("There is no listing of %1 to go through.").arg(samplesPath);
        }
        m_list.AppendInOrder(samples.Rows());
        return std::nullopt;
    });
}

// ---- Start Renaming

void RenameController::StartRenaming() {
    using namespace start_renaming_lines;  // an error report names the last step reached
    if (!Allows(Action::StartRenaming)) return;
    FinishPendingPreview();  // the run renames every row as the pass wrote it
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
    if (!m_hooks.makeRun) return;

    // Every run is kept in the history, journaled ahead of each rename, so that it can be
    // undone after a crash or a restart; a run that cannot be kept there goes only if asked to.
    RenamePlatform platform = m_platform;
    if (m_history != nullptr) {
        int error = 0;
        if (std::optional<RenamePlatform> journaled =
                m_history->Record(m_platform, AboutThisRun(), error)) {
            platform = std::move(*journaled);
        } else if (m_dialogs.ShowMessage(
                       Trellisane::tr("This run cannot be kept in the history (%1: %2), so it "
                                      "could not be undone after the program ends. Rename the "
                                      "folders all the same?")
                           .arg(m_history->History().Folder(), DescribeError(error)),
                       m_title, DialogIcon::Exclamation,
                       DialogButtons::YesNo) != DialogAnswer::Yes) {
            return;
        }
    }

    Q_EMIT diskChanging(true);  // the disk changes under any plan made now
    // The run before this one can no longer be undone: its folders keep their new names.
    m_earlierMoves += m_lastRun->Moved();
    WithdrawUndo();
    // The rows' paths are built once, for the undo record and the run (which share them): a
    // long list's a slice a turn of the event loop, the run counting as under way meanwhile.
    Change([&] { m_starting.emplace(); });
    m_starting->platform = std::move(platform);
    m_starting->rows.reserve(static_cast<std::size_t>(count));
    CopyRunRows();
}

void RenameController::CopyRunRows() {
    if (!m_starting) return;
    std::vector<FolderRow>& rows = m_starting->rows;
    const qsizetype count = m_list.Count();
    const qsizetype last = std::min(count, static_cast<qsizetype>(rows.size()) + m_previewSlice);
    for (auto position = static_cast<qsizetype>(rows.size()) + 1; position <= last; ++position) {
        rows.push_back(m_list.Row(position));
    }
    if (last < count) {
        m_startTimer->start();
        return;
    }
    LaunchRun();
}

void RenameController::LaunchRun() {
    using namespace start_renaming_lines;
    ErrorTrap trap(m_dialogs, QString::fromLatin1(kStartRenamingLocation));
    std::vector<FolderRow> rows = std::move(m_starting->rows);
    RenamePlatform recording = LastRun::Record(m_lastRun, rows, std::move(m_starting->platform));

    // Only the first few failures of a run get a report each: a run over thousands of rows
    // that all fail (none previewed, a read-only disk) must not become thousands of boxes to
    // close one by one. The rest are counted once at the end; every row shows its reason.
    auto reports = std::make_shared<qsizetype>(0);
    m_reportsThisRun = reports;
    const QString location = QString::fromLatin1(kStartRenamingLocation);
    RunJob* run =
        m_hooks.makeRun(std::move(rows), std::move(recording),
                        [dialogs = &m_dialogs, location, reports](const RowOutcome& failed) {
                            if (++*reports <= kReportsPerRun) {
                                ShowErrorReport(*dialogs, failed.Report(), location, kRenameRow);
                            }
                        });
    Change([&] {
        m_starting.reset();
        m_run = run;
    });
    connect(run, &RunJob::finished, this, [this] { FinishStartRenaming(false); });
    if (!run->Start()) {
        // No thread to be had: nothing has been renamed, and the button stays as it was.
        trap.Reach(kRenamePass);
        trap.Fail(DescribeError(EAGAIN));
        if (m_history != nullptr) m_history->EndRun(true, false);
        run->deleteLater();
        Change([&] { m_run = nullptr; });
        // Adds that ended while the run was being made waited for it: they go on now.
        AddsFollowRun({});
        Q_EMIT diskChanging(false);
    }
}

void RenameController::FinishStartRenaming(bool closing) {
    using namespace start_renaming_lines;
    RunJob* const ended = m_run;
    if (ended == nullptr) return;
    RenameRunState& state = ended->State();
    ErrorTrap trap(m_dialogs, QString::fromLatin1(kStartRenamingLocation));

    bool adopted = false;
    const bool adopting =
        trap.Step(kRenamePass, [&] { adopted = AdoptRunRows(state.rows, closing); });
    if (adopting && !adopted) {
        m_adoptTimer->start();  // the next slice, and back here
        return;
    }
    m_adopted = 0;
    trap.Step(kRenamePass, [&] {
        // What the run did with each row, shown until something new is asked of it.
        auto kept = std::make_shared<RenameRun>();
        kept->outcomes = state.run.outcomes;
        Q_EMIT runRecorded(std::move(kept));
    });
    const bool stopped =
        !state.run.outcomes.empty() && state.run.outcomes.back().fate.status == RowStatus::NotTried;
    if (m_history != nullptr) {
        if (const int failed = m_history->EndRun(stopped, !state.run.moves.empty());
            failed != 0 && !closing) {
            // The journal's write-ahead refused every rename after the failure.
            m_dialogs.ShowMessage(
                Trellisane::tr("The run's journal could not be written (%1); the folders after "
                               "that point were not renamed.")
                    .arg(DescribeError(failed)),
                m_title, DialogIcon::Exclamation, DialogButtons::Ok);
        }
    }
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
            trap.Step(kDisableStart, [&] { Q_EMIT startRenamingEnabled(false); });
        }
    }

    const std::vector<PathMove> moves = state.run.moves;
    Change([&] { m_run = nullptr; });
    ended->deleteLater();
    if (!closing) {
        AddsFollowRun(moves);  // closing drops the adds anyway
        Q_EMIT diskChanging(false);
    }
}

bool RenameController::AdoptRunRows(const std::vector<FolderRow>& rows, bool all) {
    const qsizetype count = std::min(m_list.Count(), static_cast<qsizetype>(rows.size()));
    const qsizetype last = all ? count : std::min(count, m_adopted + m_previewSlice);
    if (last > m_adopted) AdoptRows(m_list, rows, m_adopted + 1, last);
    m_adopted = last;
    return last == count;
}

void RenameController::StopRenaming(QDeadlineTimer deadline) {
    if (m_starting) {
        // Nothing renamed yet: the run ends before its first row.
        m_startTimer->stop();
        Change([&] { m_starting.reset(); });
        if (m_history != nullptr) m_history->EndRun(true, false);
        Q_EMIT diskChanging(false);
        return;
    }
    if (m_run == nullptr) return;
    if (m_run->Stop(deadline)) {
        FinishStartRenaming(true);
        return;
    }
    // Stuck in a system call: the worker keeps its own copy and record; the controller lets go.
    m_run->deleteLater();
    Change([&] { m_run = nullptr; });
}

void RenameController::StopAll(const std::vector<BackgroundJob*>& others, QDeadlineTimer deadline) {
    m_pendingPreview.reset();  // closing: the rows are not shown again
    m_previewTimer->stop();
    m_adoptTimer->stop();  // the ended run's rows are written back at once below
    StopRenaming(deadline);
    std::vector<BackgroundJob*> jobs = others;
    if (m_history != nullptr) {
        for (BackgroundJob* job : m_history->Jobs()) jobs.push_back(job);
    }
    for (BackgroundJob* job : findChildren<BackgroundJob*>(Qt::FindDirectChildrenOnly)) {
        if (std::find(jobs.begin(), jobs.end(), job) == jobs.end()) jobs.push_back(job);
    }
    std::vector<QObject*> parents;
    parents.reserve(jobs.size());
    for (BackgroundJob* job : jobs) parents.push_back(job->parent());
    // A job still stuck after the wait has let go of its parent and is left to the exit.
    BackgroundJob::StopAll(jobs, deadline);
    // Later, not now: a close from inside a job's question still has that job on the stack.
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        if (jobs[i]->parent() == parents[i] && parents[i] != nullptr) jobs[i]->deleteLater();
    }
    Change([&] {
        m_adds.clear();
        m_waitingForRun.clear();
        m_pointerHeld = false;
    });
}

// ---- Undo

void RenameController::Undo() {
    // The history as it stands after the last run: read on a worker since it ended.
    if (m_history != nullptr && Allows(Action::Undo)) m_history->FinishReading();
    if (!CanUndo()) return;
    if (m_history != nullptr && m_history->Next() != nullptr) {
        UndoRun(m_history->Next()->id);
        return;
    }
    UndoReport result;
    Change([&] { m_undoing = true; });
    const std::size_t moved = m_lastRun->Moved();
    result.notPutBack = m_lastRun->Undo(m_list, m_platform);
    result.putBack = moved - std::min(moved, result.notPutBack.size());
    result.keptByEarlierRuns = std::exchange(m_earlierMoves, 0);
    WithdrawUndo();
    Change([&] { m_undoing = false; });
    // The rows are as before the run again, new paths included: the run can be made again.
    Q_EMIT startRenamingEnabled(true);
    m_dialogs.ShowMessage(
        UndoMessage(result), m_title,
        result.notPutBack.empty() ? DialogIcon::Information : DialogIcon::Exclamation,
        DialogButtons::Ok);
}

void RenameController::RowsAddedOrRemoved() {
    m_earlierMoves = 0;
    WithdrawUndo();
}

void RenameController::SetHistory(HistoryKeeper* history) {
    m_history = history;
    if (m_history == nullptr) return;
    connect(m_history, &HistoryKeeper::changed, this, &RenameController::busyChanged);
    connect(m_history, &HistoryKeeper::undoFinished, this,
            [this](const QString& id, const std::shared_ptr<const UndoOfRun>& undo) {
                FinishUndoOfRun(id, *undo);
            });
    Q_EMIT busyChanged();
}

JournalAbout RenameController::AboutThisRun() const {
    JournalAbout about;
    about.startedMs = QDateTime::currentMSecsSinceEpoch();
    about.origin = QStringLiteral("window");
    if (const CatalogueEntry* entry = EntryOf(m_lastOperation);
        entry != nullptr && m_lastOperation != Operation::OpNone) {
        about.operation = entry->displayText;
        for (const Prompt& prompt : entry->prompts) {
            about.answers.emplace_back(FieldName(prompt.field),
                                       AnswerOf(m_lastAnswers, prompt.field));
        }
    }
    return about;
}

void RenameController::UndoRun(const QString& id) {
    if (m_history == nullptr || !Allows(Action::Undo)) return;
    FinishPendingPreview();
    Change([&] { m_undoing = true; });
    Q_EMIT diskChanging(true);
    if (!m_history->StartUndo(id, m_platform)) {
        Change([&] { m_undoing = false; });
        Q_EMIT diskChanging(false);
        m_dialogs.ShowMessage(DescribeError(EAGAIN), m_title, DialogIcon::Exclamation,
                              DialogButtons::Ok);
    }
}

void RenameController::FinishUndoOfRun(const QString& id, const UndoOfRun& undo) {
    if (undo.refusal == UndoRefusal::None) {
        if (id == m_history->LastRecorded() && m_lastRun->CanUndo()) {
            // The rows are the run's: they get back their paths and new names of before it, so
            // the run can be made again.
            m_lastRun->Adopt(m_list, undo.result);
            m_earlierMoves = 0;
            WithdrawUndo();
            Q_EMIT startRenamingEnabled(true);
        } else if (!undo.result.moves.empty()) {
            // Rows of another time: those inside the folders put back follow them.
            QStringList paths;
            paths.reserve(m_list.Count());
            for (qsizetype position = 1; position <= m_list.Count(); ++position) {
                paths << m_list.Current(position);
            }
            const QStringList before = paths;
            CarryThroughMoves(paths, undo.result.moves);
            FolderList::BulkChange bulk(m_list);
            for (qsizetype position = 1; position <= m_list.Count(); ++position) {
                if (paths[position - 1] == before[position - 1]) continue;
                m_list.SetCurrent(position, paths[position - 1]);
                m_list.SetNewPath(position, QString(), 0);  // asked of a path no longer there
                m_list.SetRun(position, 0, 0);
            }
        }
    }
    Change([&] { m_undoing = false; });
    Q_EMIT diskChanging(false);
    const bool clean =
        undo.refusal == UndoRefusal::None && undo.record.complete && undo.record.notPutBack == 0;
    m_dialogs.ShowMessage(HistoryUndoMessage(undo), m_title,
                          clean ? DialogIcon::Information : DialogIcon::Exclamation,
                          DialogButtons::Ok);
}

void RenameController::OfferUndoOfRunCutShort() {
    if (m_history == nullptr || !Allows(Action::Undo)) return;
    const std::optional<HistoryRun> run = m_history->TakeCutShortOffer();
    if (!run) return;
    // The journal tells what was about to be renamed; the disk, what was.
    const UndoOfRun dry = m_history->History().Undo(run->id, false, m_platform);
    const auto renamed = std::count_if(
        dry.result.outcomes.begin(), dry.result.outcomes.end(),
        [](const UndoOutcome& outcome) { return outcome.status == UndoStatus::PutBack; });
    if (dry.refusal != UndoRefusal::None || renamed == 0) return;  // nothing to put back
    const QString when = QLocale().toString(QDateTime::fromMSecsSinceEpoch(run->about.startedMs),
                                            QLocale::ShortFormat);
    const QString question =
        Trellisane::tr(
            "The run of %1 was cut short before its end (the program was ended or "
            "the computer stopped), with %2 folders renamed. Undo it now, putting "
            "those folders back?")
            .arg(when)
            .arg(renamed);
    if (m_dialogs.ShowMessage(question, m_title, DialogIcon::Question, DialogButtons::YesNo) !=
        DialogAnswer::Yes) {
        return;
    }
    UndoRun(run->id);
}

void RenameController::WithdrawUndo() {
    m_lastRun = std::make_shared<LastRun>();
    Q_EMIT busyChanged();
}

}  // namespace trellisane
