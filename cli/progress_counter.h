#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <functional>

namespace trellisane {

/// The one-line counter `--apply` keeps on standard error while it renames, when that is a
/// terminal: "Renaming folder N of M", rewritten in place ("\r", the text, then clear to the
/// end of the line) at most ten times a second, and erased before any other line is written
/// there so that lines never mix. A disabled counter writes nothing at all.
class ProgressCounter {
  public:
    /// Writes bytes to the terminal, at once (unbuffered, or flushed by the callee).
    using Write = std::function<void(const QByteArray& bytes)>;
    /// A monotonic clock in milliseconds.
    using Clock = std::function<qint64()>;

    /// Least time between two updates of the line, in milliseconds.
    static constexpr qint64 kIntervalMs = 100;

    /// A counter writing through `write`; `clock` defaults to the steady clock.
    ProgressCounter(bool enabled, Write write, Clock clock = {});

    /// Row `position` of `count` is about to be renamed. Redraws the line unless it was drawn
    /// less than kIntervalMs ago. Cheap when it does not draw: one clock reading.
    void Update(qsizetype position, qsizetype count);
    /// Erases the line, if one is showing; the next Update draws it again.
    void Erase();

  private:
    bool m_enabled;
    Write m_write;
    Clock m_clock;
    bool m_showing = false;
    bool m_drawn = false;  // drawn at least once: m_drawnAt holds
    qint64 m_drawnAt = 0;
};

/// Whether `--apply` shows the counter: standard error (`fd`) is a terminal and `--quiet` was
/// not given.
bool ShowsProgress(bool quiet, int fd);

}  // namespace trellisane
