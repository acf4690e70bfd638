#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "control/run_job.h"
#include "folders/folder_list.h"
#include "rename/rename_run.h"

class QTimer;
class QWidget;

namespace trellisane {

class BackgroundJob;

/// How long a run goes before its progress dialog shows itself, in milliseconds.
inline constexpr int kRenameProgressDelayMs = 500;

/// The rename pass of "Start Renaming" off the user-interface thread: the rows of a copy are
/// renamed in list order (ApplyRenames on rows) by a BackgroundJob, a direct child of `window`
/// so that the window's closing stops it. While it runs, the window takes no input (mouse,
/// keys, wheel, drops) but still paints and can be closed, which a modal dialog would not
/// allow; progress shows in a QProgressDialog (object name
/// "RenamingProgress") that is shown only once the run has lasted kRenameProgressDelayMs and
/// never while another modal window (a failure report, a question) is open,
/// saying "Renaming folder N of M" and the current path (elided in the middle). Its Cancel
/// stops the run after the folder being renamed. The dialog is brought up to date at most
/// twenty times a second, whatever the rate of rows. Each failed row is shown through `report`
/// on the user-interface thread while the worker waits for it to return. Nothing of the window
/// is touched: the owner reads the state once `finished` has come.
class RenameRunJob : public RunJob {
    Q_OBJECT

  public:
    /// A run over `rows` through `platform`; nothing happens before Start(). `window` must
    /// outlive this object, a child of it.
    RenameRunJob(QWidget& window, std::vector<FolderRow> rows, RenamePlatform platform,
                 std::function<void(const RowOutcome& failed)> report);
    /// Hides the dialog; a job still running is stopped and waited for, without a time limit
    /// (call Stop() first where the wait must be bounded).
    ~RenameRunJob() override;

    /// Starts the run on its own thread. False when no thread could be had: nothing has been
    /// renamed and `finished` will not come.
    bool Start() override;
    /// Asks the run to stop after the folder being renamed, as the dialog's Cancel does.
    void Cancel();
    /// Cancels, then waits until `deadline` for the worker. True when it has ended: the state
    /// may then be read (and `finished` will not come); false when it is stuck, in which case
    /// the job has been abandoned and the state is never the window's.
    bool Stop(QDeadlineTimer deadline) override;
    /// True once the run has been asked to stop.
    bool Cancelled() const { return m_cancelled; }
    /// Holds off input to the window while the run goes (an application event filter).
    bool eventFilter(QObject* watched, QEvent* event) override;

    /// The run's state: the window's once `finished` has come or Stop() returned true.
    RenameRunState& State() override { return *m_state; }
    /// The progress dialog (hidden until the run has lasted a while).
    QProgressDialog* Dialog() const { return m_dialog.data(); }

  private:
    void Progressed(qint64 position, qint64 count, const QString& current);
    /// Lets input reach the window again.
    void StopBlocking();
    /// Shows the dialog once the run has lasted kRenameProgressDelayMs, unless another modal
    /// window is open: then it tries again shortly, so it never covers a question or report.
    void MaybeShow();
    /// Around each failure report: the dialog steps aside while the report is open and comes
    /// back after it, so the report alone is modal, on top and answered by Return or Space.
    void BeginReport();
    void EndReport();
    void Refresh();
    void WorkDone();

    QWidget& m_window;
    std::shared_ptr<RenameRunState> m_state;
    QPointer<BackgroundJob> m_job;
    QPointer<QProgressDialog> m_dialog;  // a child of the window, kept above it
    QTimer* m_refresh;
    QTimer* m_showTimer;  // brings the dialog up once the run has lasted a while
    qint64 m_position = 0;
    qint64 m_count = 0;
    QString m_current;
    qint64 m_shownPosition = -1;
    bool m_cancelled = false;
    int m_reporting = 0;         // failure reports open now
    bool m_wasShown = false;     // the dialog was up when the report came
    bool m_refreshing = false;   // inside the dialog's update, which may run events
    bool m_donePending = false;  // the work ended during such an update
    bool m_done = false;
    bool m_blocking = false;  // the application event filter is installed
};

}  // namespace trellisane
