#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <functional>
#include <utility>
#include <vector>

#include "control/run_job.h"

namespace trellisane::testing {

/// Makes the one QCoreApplication the controller's queued signals need, once.
inline void EnsureCoreApplication() {
    static int argc = 1;
    static char name[] = "control_test";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
}

/// Runs the event loop until `done` holds; false after 30 seconds (a hang guard only).
inline bool WaitUntil(const std::function<bool()>& done) {
    QDeadlineTimer deadline(30000);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

/// A run on the calling thread: the rows renamed at Start(), each failure shown through
/// `report` as it comes; `finished` follows, queued, at once when `finishAtOnce`, else when
/// Finish() is called.
class InlineRun : public RunJob {
  public:
    InlineRun(std::vector<FolderRow> rows, RenamePlatform platform,
              std::function<void(const RowOutcome&)> report, bool finishAtOnce = true)
        : m_report(std::move(report)), m_finishAtOnce(finishAtOnce) {
        m_state.rows = std::move(rows);
        m_state.platform = std::move(platform);
    }
    bool Start() override {
        m_state.run = ApplyRenames(m_state.rows, m_report, m_state.platform, {});
        if (m_finishAtOnce) Finish();
        return true;
    }
    bool Stop(QDeadlineTimer /*deadline*/) override { return true; }
    RenameRunState& State() override { return m_state; }
    void Finish() {
        QMetaObject::invokeMethod(
            this, [this] { Q_EMIT finished(); }, Qt::QueuedConnection);
    }

  private:
    RenameRunState m_state;
    std::function<void(const RowOutcome&)> m_report;
    bool m_finishAtOnce;
};

}  // namespace trellisane::testing
