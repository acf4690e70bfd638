#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <vector>

namespace trellisane {

class JobWorker;

/// One question a job puts to the person: `ask` runs on the user-interface thread, and the job
/// waits on `answered` until it has (true) or the job is cancelled first (false). Internal to
/// BackgroundJob; shared so that an answer arriving after a cancel has somewhere to go.
struct JobQuestion {
    std::function<void()> ask;
    std::promise<bool> answered;
    bool settled = false;  // user-interface thread only: `answered` has been given its value
};

/// What a job's work sees of its job on the worker thread: the cancel flag, progress, and a
/// way to ask the person something and wait for the answer. Every member is safe to call from
/// the worker thread; none may be kept beyond the work function's return.
class JobContext {
  public:
    /// True once the job has been cancelled; the work should then return soon, with whatever
    /// it has. One atomic load.
    bool Cancelled() const { return m_cancelled.load(); }
    /// The cancel flag itself, for core work that polls one (valid while the work runs).
    const std::atomic<bool>* CancelFlag() const { return &m_cancelled; }

    /// Tells the user-interface thread how far the work has come, and optionally what it is at
    /// (the job's `progressed` signal, queued). Cheap; calling it for every item is fine.
    void Progress(qint64 done, qint64 total, const QString& what = QString());

    /// Runs `ask` on the user-interface thread (typically a modal message box) and returns its
    /// answer; or, when the job is cancelled before or while it is asked, returns `ifCancelled`
    /// at once and `ask` is not run (or its answer is dropped); so it does when `ask` throws.
    /// Blocks the worker meanwhile.
    template <typename Answer>
    Answer Ask(std::function<Answer()> ask, Answer ifCancelled) {
        auto answer = std::make_shared<std::optional<Answer>>();
        const bool answered = AskAndWait([ask = std::move(ask), answer] { *answer = ask(); });
        return answered && answer->has_value() ? **answer : ifCancelled;
    }

  private:
    friend class BackgroundJob;
    friend class JobWorker;
    JobContext() = default;

    /// Hands `ask` to the user-interface thread through the worker's `asked` signal and waits
    /// on its future. False when the job was cancelled instead.
    bool AskAndWait(std::function<void()> ask);

    std::atomic<bool> m_cancelled{false};
    JobWorker* m_worker = nullptr;
};

/// Background work in one shape for the controller and the window: the work runs on a worker
/// QObject moved onto a QThread of its own, and talks to the user-interface thread only through
/// queued signals (`progressed`, a question to ask, `finished`); the user-interface thread stops it
/// with a cancel flag. A job is made, connected and started on the user-interface thread, and
/// runs once.
///
/// Adding a new kind of background work takes a few lines:
///
///     auto* job = new BackgroundJob([state](JobContext& context) {
///         for (auto& item : state->items) {            // worker thread: touch no widget,
///             if (context.Cancelled()) return;         // only the state the work owns
///             if (!Process(item)) {
///                 context.Ask<bool>([=] { ShowReport(item); return true; }, false);
///             }
///         }
///     }, this);                          // a child of the controller (or of the window)
///     connect(job, &BackgroundJob::finished, this, [this, state, job] {
///         Use(*state);
///         job->deleteLater();
///     });
///     if (!job->Start()) { /* no thread: report it, finish with what there is */ }
///
/// and, when the window closes, BackgroundJob::StopAll(its jobs, deadline); Form1 stops every
/// job that is a direct child of the window or of the controller (RenameController::StopAll), so
/// a new kind of work there needs nothing more. The work owns its data (a shared_ptr it
/// captures), so a job abandoned on close (stuck in a system call) never reaches a destroyed
/// owner.
class BackgroundJob : public QObject {
    Q_OBJECT

  public:
    /// The work, run once on the worker thread with the job's context.
    using Work = std::function<void(JobContext& context)>;

    /// Makes the job and its thread; nothing runs until Start().
    explicit BackgroundJob(Work work, QObject* parent = nullptr);
    /// Cancels and waits for the work to end, without a time limit: call Stop() first where
    /// the wait must be bounded.
    ~BackgroundJob() override;

    /// Starts the work on its own thread; once started, the work runs to its end even when the
    /// job is cancelled at once (it then sees Cancelled()). False when no thread could be
    /// started (the work has not run and `finished` will not come).
    bool Start();

    /// Sets the cancel flag and answers any question still waiting as cancelled. Returns at
    /// once; the work notices when it next looks. User-interface thread only.
    void Cancel();

    /// Cancels, then waits until `deadline` for the work to end. True when it has ended (or
    /// never started); false when the work is stuck, in which case the job is abandoned: it is
    /// disconnected and leaves its parent, and is left running (a thread cannot be destroyed
    /// while it runs): it deletes itself, on this thread's event loop, should the work ever
    /// return, else it vanishes with the process. The caller must then not delete it.
    /// User-interface thread only.
    bool Stop(QDeadlineTimer deadline);

    /// Cancels every job first, then waits for each until the one shared `deadline`. Returns
    /// the jobs that did not end in time (already abandoned as Stop() says).
    static std::vector<BackgroundJob*> StopAll(const std::vector<BackgroundJob*>& jobs,
                                               QDeadlineTimer deadline);

    /// True once Cancel() has been called.
    bool Cancelled() const { return m_context.Cancelled(); }

  Q_SIGNALS:
    /// Queued from the worker: how far the work has come, and what it is at ("" when not told).
    void progressed(qint64 done, qint64 total, const QString& what);
    /// The work has returned (also after a Cancel(), so a cancelled run still hands over what
    /// it did); its results may now be read. Once only, and never after Stop().
    void finished();
    /// Internal: asks the worker to run the work (queued onto the worker thread).
    void runRequested();

  private:
    void Ask(const std::shared_ptr<JobQuestion>& question);
    void WorkDone();

    Work m_work;
    JobContext m_context;
    QThread m_thread;
    std::unique_ptr<JobWorker> m_worker;  // lives on m_thread; deleted once that has ended
    std::vector<std::shared_ptr<JobQuestion>> m_pending;
    bool m_started = false;
    bool m_ended = false;  // the work has returned and the thread has been joined
};

/// The worker QObject of a BackgroundJob: runs the work on its thread and signals back.
/// Internal to background_job.cpp's BackgroundJob; declared here for moc.
class JobWorker : public QObject {
    Q_OBJECT

  public:
    JobWorker(const BackgroundJob::Work& work, JobContext& context)
        : m_work(work), m_context(context) {}

    /// Runs the work once, emits `done` and ends the thread's event loop.
    void Run();

  Q_SIGNALS:
    void progressed(qint64 done, qint64 total, const QString& what);
    void asked(std::shared_ptr<trellisane::JobQuestion> question);
    void done();

  private:
    const BackgroundJob::Work& m_work;
    JobContext& m_context;
};

}  // namespace trellisane

Q_DECLARE_METATYPE(std::shared_ptr<trellisane::JobQuestion>)
