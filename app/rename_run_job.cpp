#include "app/rename_run_job.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <climits>
#include <limits>
#include <utility>

#include "control/background_job.h"
#include "shell/texts.h"

namespace trellisane {

namespace {

/// How often the dialog is brought up to date while rows go by, in milliseconds.
constexpr int kRefreshMs = 50;

/// About how many average characters of a path the dialog shows before eliding its middle.
constexpr int kPathChars = 60;

/// Never reached: the dialog is shown by the job itself, never by its own timer, so that it
/// cannot come up over a question or a report.
constexpr int kNeverByItself = std::numeric_limits<int>::max();

}  // namespace

RenameRunJob::RenameRunJob(QWidget& window, std::vector<FolderRow> rows, RenamePlatform platform,
                           std::function<void(const RowOutcome& failed)> report)
    : RunJob(&window),
      m_window(window),
      m_state(std::make_shared<RenameRunState>()),
      m_dialog(new QProgressDialog(&window)),
      m_refresh(new QTimer(this)),
      m_showTimer(new QTimer(this)) {
    m_state->rows = std::move(rows);
    m_state->platform = std::move(platform);
    m_count = static_cast<qint64>(m_state->rows.size());

    // A report is answered with the progress dialog out of the way, so that it is the one
    // modal window, on top and holding the keyboard; the dialog comes back after it.
    report = [job = QPointer<RenameRunJob>(this),
              report = std::move(report)](const RowOutcome& failed) {
        if (job) job->BeginReport();
        report(failed);
        if (job) job->EndReport();
    };
    auto work = [state = m_state, report = std::move(report)](JobContext& context) {
        RunControl control;
        control.cancelled = [&context] { return context.Cancelled(); };
        control.starting = [&context](qsizetype position, qsizetype count, const QString& current) {
            context.Progress(position, count, current);
        };
        const auto failed = [&](const RowOutcome& outcome) {
            // Shown on the user-interface thread; the run waits for OK before its next row.
            const bool shown = context.Ask<bool>(
                [report, outcome] {
                    report(outcome);
                    return true;
                },
                false);
            if (!shown) state->unreported.push_back(outcome.position);
        };
        state->run = ApplyRenames(state->rows, failed, state->platform, control);
    };
    m_job = new BackgroundJob(std::move(work), &window);
    connect(m_job, &BackgroundJob::progressed, this, &RenameRunJob::Progressed);
    connect(m_job, &BackgroundJob::finished, this, &RenameRunJob::WorkDone);

    m_dialog->setObjectName(QStringLiteral("RenamingProgress"));
    m_dialog->setWindowTitle(window.windowTitle());
    // Not modal: a modal dialog would keep the window from being closed during a run. The
    // window's input is held off by eventFilter instead.
    m_dialog->setWindowModality(Qt::NonModal);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setRange(0, static_cast<int>(std::min<qint64>(m_count, INT_MAX)));
    m_dialog->setMinimumDuration(kNeverByItself);
    m_dialog->hide();
    m_dialog->setLabelText(Trellisane::tr("Renaming folder 1 of %1").arg(m_count));
    connect(m_dialog, &QProgressDialog::canceled, this, &RenameRunJob::Cancel);

    m_refresh->setInterval(kRefreshMs);
    connect(m_refresh, &QTimer::timeout, this, &RenameRunJob::Refresh);
    m_showTimer->setSingleShot(true);
    m_showTimer->setInterval(kRenameProgressDelayMs);
    connect(m_showTimer, &QTimer::timeout, this, &RenameRunJob::MaybeShow);
}

bool RenameRunJob::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: {
            // Only the window's own controls: the progress dialog and any report stay live.
            const auto* widget = qobject_cast<QWidget*>(watched);
            if (widget != nullptr && widget->window() == &m_window) return true;
            break;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

RenameRunJob::~RenameRunJob() {
    if (m_blocking) qApp->removeEventFilter(this);
    if (m_dialog) {  // gone already when the window is being destroyed
        m_dialog->disconnect(this);
        m_dialog->reset();
        m_dialog->hide();
        m_dialog->deleteLater();
    }
    delete m_job.data();  // cancels and waits; nothing when it has ended or was abandoned
}

bool RenameRunJob::Start() {
    if (!m_job->Start()) return false;
    m_dialog->setValue(0);
    m_refresh->start();
    m_showTimer->start();
    qApp->installEventFilter(this);
    m_blocking = true;
    return true;
}

void RenameRunJob::Cancel() {
    if (m_cancelled || m_done) return;
    m_cancelled = true;
    // The dialog has hidden itself; updating it now would bring it back.
    m_refresh->stop();
    m_showTimer->stop();
    if (m_job) m_job->Cancel();
}

bool RenameRunJob::Stop(QDeadlineTimer deadline) {
    Cancel();
    if (m_done) return true;
    const bool ended = m_job->Stop(deadline);
    if (!ended) m_job = nullptr;  // abandoned: it deletes itself, should it ever return
    m_done = true;
    StopBlocking();
    m_refresh->stop();
    m_showTimer->stop();
    m_dialog->reset();
    m_dialog->hide();
    return ended;
}

void RenameRunJob::StopBlocking() {
    if (!m_blocking) return;
    qApp->removeEventFilter(this);
    m_blocking = false;
}

void RenameRunJob::Progressed(qint64 position, qint64 count, const QString& current) {
    // Only kept: the timer shows the latest, so a fast run costs the dialog nothing per row.
    m_position = position;
    m_count = count;
    m_current = current;
}

void RenameRunJob::MaybeShow() {
    if (m_done || m_cancelled) return;
    if (m_reporting > 0 || QApplication::activeModalWidget() != nullptr) {
        // Another window asks something (a report, or a box opened before the run began):
        // the dialog waits until nothing else is modal, so it never covers one.
        m_showTimer->start(kRefreshMs);
        return;
    }
    m_shownPosition = -1;  // the label is brought up to date at once
    m_dialog->show();
    Refresh();
}

void RenameRunJob::BeginReport() {
    if (m_reporting++ > 0) return;
    m_wasShown = m_dialog->isVisible();
    if (m_wasShown) m_dialog->hide();
    m_showTimer->stop();
}

void RenameRunJob::EndReport() {
    if (--m_reporting > 0 || m_done || m_cancelled) return;
    if (m_wasShown) {
        m_showTimer->start(0);  // back once the report's own window has gone
    } else if (!m_showTimer->isActive()) {
        m_showTimer->start();
    }
}

void RenameRunJob::Refresh() {
    if (m_done || m_cancelled || m_position == m_shownPosition) return;
    if (!m_dialog->isVisible()) return;  // nothing to bring up to date before it shows
    m_shownPosition = m_position;
    const QFontMetrics metrics(m_dialog->font());
    const QString path =
        metrics.elidedText(m_current, Qt::ElideMiddle, metrics.averageCharWidth() * kPathChars);
    m_refreshing = true;
    m_dialog->setLabelText(
        Trellisane::tr("Renaming folder %1 of %2\n%3").arg(m_position).arg(m_count).arg(path));
    // A modal progress dialog that is showing runs pending events inside setValue.
    m_dialog->setValue(static_cast<int>(std::min<qint64>(m_position - 1, INT_MAX)));
    m_refreshing = false;
    if (m_donePending) {
        m_donePending = false;
        WorkDone();
    }
}

void RenameRunJob::WorkDone() {
    if (m_done) return;
    if (m_refreshing) {
        m_donePending = true;  // finished once the dialog's update has returned
        return;
    }
    m_done = true;
    StopBlocking();
    m_refresh->stop();
    m_showTimer->stop();
    m_dialog->disconnect(this);
    m_dialog->reset();
    m_dialog->hide();
    if (m_job) m_job->deleteLater();  // its work has returned; this runs inside its signal
    Q_EMIT finished();
}

}  // namespace trellisane
