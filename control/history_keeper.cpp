#include "control/history_keeper.h"

#include <QDeadlineTimer>
#include <cerrno>
#include <utility>

#include "control/background_job.h"
#include "rename/undo.h"
#include "shell/texts.h"

namespace trellisane {

HistoryKeeper::HistoryKeeper(RunHistory history, QObject* parent)
    : QObject(parent), m_history(std::move(history)) {
    Refresh();
}

std::optional<RenamePlatform> HistoryKeeper::Record(RenamePlatform base, const JournalAbout& about,
                                                    int& error) {
    QString id;
    std::unique_ptr<JournalWriter> writer = m_history.Begin(about, id, error);
    if (!writer) return std::nullopt;
    m_writer = std::shared_ptr<JournalWriter>(writer.release());
    m_lastRecorded = id;
    // The platform keeps the journal alive, however long the run lasts.
    return Observed(std::move(base), std::static_pointer_cast<RunObserver>(m_writer));
}

int HistoryKeeper::EndRun(bool stopped, bool movedAny) {
    if (!m_writer) return 0;
    const int failed = m_writer->Finish(stopped);
    m_writer.reset();
    Read(true, movedAny);
    return failed;
}

void HistoryKeeper::ReadAgain() { Read(false, Next() != nullptr); }

std::vector<BackgroundJob*> HistoryKeeper::Jobs() const {
    const QList<BackgroundJob*> children = findChildren<BackgroundJob*>(Qt::FindDirectChildrenOnly);
    return {children.begin(), children.end()};
}

void HistoryKeeper::Read(bool prune, bool hasNext) {
    m_readingHasNext = hasNext;
    auto read = std::make_shared<std::vector<HistoryRun>>();
    auto* job = new BackgroundJob(
        [history = m_history, read, prune](JobContext&) {
            if (prune) history.Prune();
            *read = history.List();
        },
        this);
    connect(job, &BackgroundJob::finished, this, [this, job] {
        job->deleteLater();
        if (job != m_reading) return;  // read again since, or taken by FinishReading
        m_reading = nullptr;
        m_runs = std::move(*m_read);
        m_read.reset();
        Q_EMIT changed();
    });
    m_reading = job;
    m_read = read;
    if (!job->Start()) {
        // No thread to be had: read here, as the one way left.
        m_reading = nullptr;
        m_read.reset();
        delete job;
        if (prune) m_history.Prune();
        Refresh();
    }
}

void HistoryKeeper::FinishReading() {
    if (m_reading == nullptr) return;
    BackgroundJob* const job = m_reading;
    m_reading = nullptr;
    // The reading looks at no cancel flag: Stop waits for it to end.
    if (job->Stop(QDeadlineTimer(QDeadlineTimer::Forever))) {
        m_runs = std::move(*m_read);
        m_read.reset();
        job->deleteLater();
        Q_EMIT changed();
        return;
    }
    m_read.reset();
    Refresh();
}

void HistoryKeeper::Refresh() {
    m_reading = nullptr;  // what it reads would be older than this
    m_read.reset();
    m_runs = m_history.List();
    Q_EMIT changed();
}

std::optional<HistoryRun> HistoryKeeper::TakeCutShortOffer() {
    for (const HistoryRun& run : m_runs) {
        if (run.state != RunState::CutShort || run.offered) continue;
        if (!m_history.MarkOffered(run.id)) return std::nullopt;  // not said, so not offered
        HistoryRun offered = run;
        Refresh();
        return offered;
    }
    return std::nullopt;
}

bool HistoryKeeper::StartUndo(const QString& id, const RenamePlatform& platform) {
    if (m_undo != nullptr) return false;
    auto result = std::make_shared<UndoOfRun>();
    auto* job = new BackgroundJob(
        [history = m_history, id, platform, result](JobContext& context) {
            UndoControl control;
            control.cancel = context.CancelFlag();
            control.progress = [&context](qsizetype handled, qsizetype total) {
                context.Progress(handled, total);
            };
            *result = history.Undo(id, true, platform, false, control);
        },
        this);
    connect(
        job, &BackgroundJob::progressed, this,
        [this](qint64 done, qint64 total, const QString&) { Q_EMIT undoProgressed(done, total); });
    connect(job, &BackgroundJob::finished, this, [this, job, id, result] {
        m_undo = nullptr;
        job->deleteLater();
        Refresh();
        Q_EMIT undoFinished(id, result);
    });
    m_undo = job;
    if (!job->Start()) {
        m_undo = nullptr;
        delete job;
        return false;
    }
    return true;
}

void HistoryKeeper::CancelUndo() {
    if (m_undo != nullptr) m_undo->Cancel();
}

QString HistoryUndoMessage(const UndoOfRun& undo) {
    switch (undo.refusal) {
        case UndoRefusal::None:
            break;
        case UndoRefusal::NoSuchRun:
            return Trellisane::tr("The run is no longer in the history.");
        case UndoRefusal::Unreadable:
            return Trellisane::tr("The run's journal cannot be read: %1").arg(undo.detail);
        case UndoRefusal::Running:
            return Trellisane::tr("The run, or an undo of it, is still going.");
        case UndoRefusal::Blocked:
            return Trellisane::tr(
                "A newer run renamed some of the same folders: undo that one first.");
        case UndoRefusal::Nothing:
            return Trellisane::tr("The run renamed no folder: there is nothing to put back.");
    }
    std::vector<UndoOutcome> notPutBack;
    for (const qsizetype j : undo.result.order) {
        const UndoOutcome& outcome = undo.result.outcomes[static_cast<size_t>(j)];
        const bool happened = undo.moves[static_cast<size_t>(j)].id.has_value();
        if (happened && outcome.status != UndoStatus::PutBack &&
            outcome.status != UndoStatus::AlreadyBack) {
            notPutBack.push_back(outcome);
        }
    }
    QString text = undo.record.putBack == 1
                       ? Trellisane::tr("1 folder was put back where it was before the run.")
                       : Trellisane::tr("%1 folders were put back where they were before the run.")
                             .arg(undo.record.putBack);
    if (!undo.record.complete) {
        text += u' ' + Trellisane::tr(
                           "The undo was cancelled: the rest keep their new names, "
                           "and Undo Last Renaming puts them back later.");
        std::erase_if(notPutBack,
                      [](const UndoOutcome& outcome) { return outcome.error == ECANCELED; });
    }
    if (!notPutBack.empty()) text += QStringLiteral("\n\n") + NotPutBackMessage(notPutBack);
    return text;
}

}  // namespace trellisane
