#include "control/background_job.h"

#include <chrono>
#include <utility>

namespace trellisane {

namespace {

/// How long the worker waits on a question's future before looking at the cancel flag again:
/// a cancel that arrives before the question reached the user-interface thread is noticed
/// within this time.
constexpr std::chrono::milliseconds kAnswerPoll{20};

/// Gives `question` its answer unless it already has one.
void Settle(JobQuestion& question, bool answered) {
    if (question.settled) return;
    question.settled = true;
    question.answered.set_value(answered);
}

}  // namespace

void JobContext::Progress(qint64 done, qint64 total, const QString& what) {
    if (m_worker != nullptr) Q_EMIT m_worker->progressed(done, total, what);
}

bool JobContext::AskAndWait(std::function<void()> ask) {
    if (Cancelled() || m_worker == nullptr) return false;
    auto question = std::make_shared<JobQuestion>();
    question->ask = std::move(ask);
    std::future<bool> answer = question->answered.get_future();
    Q_EMIT m_worker->asked(question);
    while (answer.wait_for(kAnswerPoll) != std::future_status::ready) {
        if (Cancelled()) return false;
    }
    return answer.get();
}

void JobWorker::Run() {
    m_work(m_context);
    Q_EMIT done();
    // The thread ends itself, and only here: a job cancelled before its run request arrived
    // still runs its work (which sees the cancel) instead of vanishing unseen.
    thread()->quit();
}

BackgroundJob::BackgroundJob(Work work, QObject* parent)
    : QObject(parent),
      m_work(std::move(work)),
      m_worker(std::make_unique<JobWorker>(m_work, m_context)) {
    m_context.m_worker = m_worker.get();
    m_worker->moveToThread(&m_thread);
    // Both ways queued: the worker lives on m_thread, this object on the user-interface thread.
    connect(this, &BackgroundJob::runRequested, m_worker.get(), &JobWorker::Run,
            Qt::QueuedConnection);
    connect(m_worker.get(), &JobWorker::progressed, this, &BackgroundJob::progressed,
            Qt::QueuedConnection);
    connect(m_worker.get(), &JobWorker::asked, this, &BackgroundJob::Ask, Qt::QueuedConnection);
    connect(m_worker.get(), &JobWorker::done, this, &BackgroundJob::WorkDone, Qt::QueuedConnection);
}

BackgroundJob::~BackgroundJob() {
    Cancel();
    m_thread.wait();
}

bool BackgroundJob::Start() {
    if (m_started) return true;
    m_thread.start();
    // QThread::start() only warns when the platform refuses a thread; the thread is then
    // neither running nor finished.
    if (!m_thread.isRunning() && !m_thread.isFinished()) return false;
    m_started = true;
    Q_EMIT runRequested();
    return true;
}

void BackgroundJob::Cancel() {
    m_context.m_cancelled = true;
    for (const std::shared_ptr<JobQuestion>& question : std::exchange(m_pending, {})) {
        Settle(*question, false);
    }
}

bool BackgroundJob::Stop(QDeadlineTimer deadline) {
    Cancel();
    if (!m_started || m_ended) return true;
    if (m_thread.wait(deadline)) {
        m_ended = true;
        return true;
    }
    // Stuck (a system call on a dead network mount, say): leave it running. Should its work
    // ever return while the program still runs, the job deletes itself then; otherwise it
    // vanishes with the process.
    disconnect(this, nullptr, nullptr, nullptr);
    setParent(nullptr);
    connect(&m_thread, &QThread::finished, this, &QObject::deleteLater);
    if (m_thread.isFinished()) deleteLater();  // ended between the wait and the connect
    return false;
}

std::vector<BackgroundJob*> BackgroundJob::StopAll(const std::vector<BackgroundJob*>& jobs,
                                                   QDeadlineTimer deadline) {
    for (BackgroundJob* job : jobs) job->Cancel();
    std::vector<BackgroundJob*> stuck;
    for (BackgroundJob* job : jobs) {
        if (!job->Stop(deadline)) stuck.push_back(job);
    }
    return stuck;
}

void BackgroundJob::Ask(const std::shared_ptr<JobQuestion>& question) {
    if (question->settled) return;
    if (Cancelled()) {
        Settle(*question, false);
        return;
    }
    m_pending.push_back(question);
    bool asked = true;
    try {
        question->ask();  // modal: a close meanwhile settles it as cancelled
    } catch (...) {
        asked = false;  // nothing may leave a slot; the work gets its cancelled answer
    }
    std::erase(m_pending, question);
    Settle(*question, asked);
}

void BackgroundJob::WorkDone() {
    if (m_ended) return;  // Stop() has already waited for it: whoever stopped it is leaving
    m_thread.wait();      // the worker has quit its loop: at most a moment
    m_ended = true;
    Q_EMIT finished();
}

}  // namespace trellisane
