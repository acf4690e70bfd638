#include "cli/progress_counter.h"

#include <unistd.h>

#include <chrono>
#include <utility>

namespace trellisane {

namespace {

/// Back to the start of the line, then clear to its end (ECMA-48 EL).
constexpr char kEraseLine[] = "\r\x1b[K";

qint64 SteadyMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

ProgressCounter::ProgressCounter(bool enabled, Write write, Clock clock)
    : m_enabled(enabled),
      m_write(std::move(write)),
      m_clock(clock ? std::move(clock) : Clock(SteadyMilliseconds)) {}

void ProgressCounter::Update(qsizetype position, qsizetype count) {
    if (!m_enabled) return;
    const qint64 now = m_clock();
    if (m_drawn && now - m_drawnAt < kIntervalMs) return;
    m_drawn = true;
    m_drawnAt = now;
    m_showing = true;
    m_write(QByteArray("\rRenaming folder ") + QByteArray::number(position) + " of " +
            QByteArray::number(count) + "\x1b[K");
}

void ProgressCounter::Erase() {
    if (!m_showing) return;
    m_showing = false;
    m_write(kEraseLine);
}

bool ShowsProgress(bool quiet, int fd) { return !quiet && ::isatty(fd) == 1; }

}  // namespace trellisane
