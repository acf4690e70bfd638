#include "rename/run_player.h"

#include <QSet>
#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <utility>

#include "rename/path_index.h"

namespace trellisane {

namespace {

constexpr QChar kSeparator = kPathSeparator;

/// Why the row's rename must not reach the disk, or nothing. `from` and `to` receive the
/// paths to hand the platform. `oldPath` and `newPath` differ and `newPath` is not empty.
std::optional<RefusalReason> Refusal(const QString& oldPath, const QString& newPath, QString& from,
                                     QString& to) {
    from = WithoutSeparator(oldPath);
    to = WithoutSeparator(newPath);
    const QChar nul(u'\0');
    if (from.contains(nul)) return RefusalReason::NulInPath;
    const qsizetype nameStart = from.lastIndexOf(kSeparator) + 1;
    if (nameStart >= from.size()) return RefusalReason::NoName;
    // Compared as text: the parent part of the new path is the old one, character for
    // character, or the row would move its folder elsewhere.
    if (!to.startsWith(QStringView(from).left(nameStart))) return RefusalReason::OutsideParent;
    const QStringView name = QStringView(to).mid(nameStart);
    if (name.isEmpty()) return RefusalReason::EmptyName;
    if (name == u"." || name == u"..") return RefusalReason::DotName;
    if (IndexOfChar(name, kSeparator) >= 0) return RefusalReason::Separator;
    if (IndexOfChar(name, nul) >= 0) return RefusalReason::NulInName;
    return std::nullopt;
}

RowFate Refused(RefusalReason reason, int error = 0) {
    RowFate fate;
    fate.status = RowStatus::Refused;
    fate.refusal = reason;
    fate.error = error;
    return fate;
}

/// The fate of a row whose folder could not be examined or renamed with `error`, other than
/// a taken name.
RowFate FateOfError(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR: {
            RowFate fate;
            fate.status = RowStatus::Missing;
            fate.error = error;
            return fate;
        }
        case EACCES:
        case EPERM:
            return Refused(RefusalReason::NoPermission, error);
        case EROFS:
            return Refused(RefusalReason::ReadOnly, error);
        case ENAMETOOLONG:
            return Refused(RefusalReason::NameTooLong, error);
        default: {
            RowFate fate;
            fate.status = RowStatus::Failed;
            fate.error = error;
            return fate;
        }
    }
}

/// What the disk said of one row, before the run files it: everything of the row's turn that
/// looks at or changes the disk, and nothing of the run's own bookkeeping.
struct DiskStep {
    RowFate fate;
    bool moved = false;  ///< the folder now stands at the new path
    /// The new name was taken (EEXIST, ENOTEMPTY): whether an earlier row claimed it is decided
    /// when the row is filed, in row order; `occupant` is what stood there straight after.
    bool taken = false;
    EntryState occupant;
    QString strandedAt;  ///< where a failed case-only change left the folder, or ""
};

/// Plays the turn of the row `outcome` describes on `disk`. `listedAs` is the row's current
/// path before the run, with the separator. Touches nothing but the disk and the result.
DiskStep TryRow(const RowOutcome& outcome, const QString& listedAs, RunDisk& disk) {
    DiskStep step;
    QString from;
    QString to;
    if (outcome.newPath.isEmpty()) {
        step.fate.status = RowStatus::NotPreviewed;
    } else if (WithSeparator(outcome.newPath) == WithSeparator(outcome.oldPath)) {
        // Nothing to do, and nothing for the disk to refuse. A row carried onto its new
        // path by an earlier rename (the same folder listed twice) has got its name.
        const bool asListed = WithSeparator(outcome.newPath) == listedAs;
        step.fate.status = asListed ? RowStatus::Unchanged : RowStatus::Renamed;
    } else if (std::optional<QString> refused = disk.Refuse(outcome.oldPath)) {
        step.fate = Refused(RefusalReason::Protected);
        step.fate.detail = std::move(*refused);
    } else if (const auto refusal = Refusal(outcome.oldPath, outcome.newPath, from, to)) {
        step.fate = Refused(*refusal);
    } else if (const EntryState folder = disk.Examine(from); !folder.IsFolder()) {
        // Only folders are renamed: a file or a link to one in the folder's place is not.
        step.fate = FateOfError(folder.error != 0 ? folder.error : ENOTDIR);
    } else if (std::optional<QString> rule = disk.RefuseName(from, to)) {
        // What the driver would refuse, or change behind the run's back, is not tried.
        step.fate = Refused(RefusalReason::NamingRule);
        step.fate.detail = std::move(*rule);
    } else {
        FolderRenameResult result = disk.Rename(from, to);
        if (result.error == 0) {
            step.fate.status = RowStatus::Renamed;
            step.moved = true;
        } else if (result.error == EEXIST || result.error == ENOTEMPTY) {
            step.taken = true;
            step.fate.error = result.error;
            // Looked at now, before a later row of this folder's parent changes it.
            step.occupant = disk.Examine(to);
        } else {
            step.fate = FateOfError(result.error);
        }
        step.strandedAt = std::move(result.strandedAt);
    }
    return step;
}

/// The number of separators in `path`: rows of one depth have as many.
qsizetype Depth(QStringView path) {
    qsizetype depth = 0;
    for (const QChar c : path) depth += c == kSeparator ? 1 : 0;
    return depth;
}

struct IdentityHash {
    std::size_t operator()(const FolderIdentity& identity) const {
        return std::hash<quint64>()(identity.inode * 0x9E3779B97F4A7C15ULL ^ identity.device ^
                                    (identity.mount << 17));
    }
};

/// A second thread that plays the work it is handed while the run's own thread plays other
/// rows; made on first use, joined when it goes.
class SecondThread {
  public:
    SecondThread() = default;
    SecondThread(const SecondThread&) = delete;
    SecondThread& operator=(const SecondThread&) = delete;
    ~SecondThread() {
        if (!m_thread.joinable()) return;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }

    /// Starts `work` (which must not throw) on the second thread; false when no thread could
    /// be made, and the caller does the work itself.
    bool Start(std::function<void()> work) {
        if (!m_thread.joinable()) {
            try {
                m_thread = std::thread([this] { Serve(); });
            } catch (const std::system_error&) {
                return false;
            }
        }
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_work = std::move(work);
            m_busy = true;
        }
        m_wake.notify_one();
        return true;
    }

    /// Returns once the work started last has ended.
    void Wait() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_done.wait(lock, [this] { return !m_busy; });
    }

  private:
    void Serve() {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_busy || m_quit; });
            if (!m_busy) return;
            std::function<void()> work = std::move(m_work);
            lock.unlock();
            work();
            lock.lock();
            m_busy = false;
            m_done.notify_one();
        }
    }

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::function<void()> m_work;
    bool m_busy = false;
    bool m_quit = false;
};

/// Waits for the work started on a SecondThread, at the latest when it goes.
class WaitsFor {
  public:
    WaitsFor(SecondThread& thread, bool started) : m_thread(thread), m_started(started) {}
    WaitsFor(const WaitsFor&) = delete;
    WaitsFor& operator=(const WaitsFor&) = delete;
    ~WaitsFor() { Wait(); }

    /// Returns once the work has ended (at once the second time).
    void Wait() const {
        if (m_started) m_thread.Wait();
        m_started = false;
    }

  private:
    SecondThread& m_thread;
    mutable bool m_started;
};

/// Rows from one on that may be renamed side by side: one depth, no current path twice, each
/// parent plain (RunDisk::ParentIdentity) and on one mount. The rows of one parent, by its
/// identity and not its spelling, are played by one thread in row order; `parents` holds them
/// as offsets from the first, parent by parent in the order met.
struct SideBySide {
    qsizetype rows = 0;  ///< how many rows from the first belong to it
    std::vector<std::vector<qsizetype>> parents;
};

///
/// `unproven` is the last parent found not plain: a row in it ends the group at once, without
/// asking the disk again (a list whose folders all lie below a link asks once per parent, not
/// once per row).
SideBySide GroupRows(const std::vector<FolderRow>& rows, qsizetype first, RunDisk& disk,
                     QString& unproven) {
    SideBySide group;
    const auto count = static_cast<qsizetype>(rows.size());
    qsizetype depth = -1;
    quint64 mount = 0;
    QString parent;
    std::size_t at = 0;  // the entry of `parents` of the row's parent
    std::unordered_map<FolderIdentity, std::size_t, IdentityHash> parentAt;
    // Views into the rows' own paths, which stay as they are until the group has been played.
    QSet<QStringView> seen;
    seen.reserve(std::min(count - first + 1, kRowsSideBySide));
    for (qsizetype position = first; position <= count && group.rows < kRowsSideBySide;
         ++position, ++group.rows) {
        const QString& current = rows[static_cast<std::size_t>(position - 1)].current;
        const QStringView path = QStringView(current).chopped(current.endsWith(kSeparator) ? 1 : 0);
        if (depth < 0) depth = Depth(path);
        if (path.isEmpty() || Depth(path) != depth) break;
        // A row of a folder listed twice moves the other row along: not side by side.
        if (seen.contains(path)) break;
        seen.insert(path);
        // As SplitPath cuts it, without a copy of the parent for every row.
        const qsizetype slash = path.lastIndexOf(kSeparator);
        const QStringView parentPath = slash <= 0 ? QStringView(u"/") : path.left(slash);
        const QStringView name = path.mid(slash + 1);
        if (name.isEmpty() || name == u"." || name == u"..") break;
        if (group.parents.empty() || parentPath != parent) {
            if (parentPath == unproven) break;
            parent = parentPath.toString();
            const std::optional<FolderIdentity> identity = disk.ParentIdentity(parent);
            if (!identity) {
                unproven = parent;
                break;
            }
            if (parentAt.empty()) mount = identity->mount;
            if (identity->mount != mount) break;
            const auto [it, added] = parentAt.try_emplace(*identity, group.parents.size());
            if (added) group.parents.emplace_back();
            at = it->second;
        }
        group.parents[at].push_back(position - first);
    }
    return group;
}

/// Where one row of a group stands while the threads play it.
enum RowState : unsigned char {
    kPending = 0,  ///< not played yet
    kPlayed = 1,   ///< its step is written
    kLeft = 2,     ///< a thread gave it up (it threw): the run's own thread plays it
};

/// Plays the rows of the group's last parent where `ownsLast` says so, then takes the other
/// parents one at a time (`next`, shared by both threads, so that the thread let run more does
/// more), playing the rows of each on `disk` in row order; each row's state says when its step
/// is there. After an exception the rows of this thread's parents are left to the run's own
/// thread. Returns the number of rows played.
qsizetype PlayParents(const SideBySide& group, bool ownsLast, std::atomic<std::size_t>& next,
                      const std::vector<RowOutcome>& outcomes, const std::vector<QString>& listedAs,
                      qsizetype first, RunDisk& disk, std::vector<DiskStep>& steps,
                      std::vector<std::atomic<unsigned char>>& states) noexcept {
    qsizetype played = 0;
    bool failed = false;
    const auto mark = [&](std::size_t at, RowState state) {
        states[at].store(state, std::memory_order_release);
        states[at].notify_one();
    };
    const auto play = [&](std::size_t parent) {
        for (const qsizetype i : group.parents[parent]) {
            const auto at = static_cast<std::size_t>(i);
            if (!failed) {
                try {
                    steps[at] = TryRow(outcomes[at],
                                       listedAs[static_cast<std::size_t>(first - 1 + i)], disk);
                    ++played;
                    mark(at, kPlayed);
                    continue;
                } catch (...) {
                    failed = true;
                }
            }
            mark(at, kLeft);
        }
    };
    const std::size_t last = group.parents.size() - 1;
    if (ownsLast) play(last);
    for (std::size_t parent = next++; parent < last; parent = next++) play(parent);
    return played;
}

}  // namespace

RenameRun PlayRun(std::vector<FolderRow>& rows, RunDisk& disk,
                  const std::function<void(const RowOutcome&)>& onFailure,
                  const std::atomic<bool>* cancel, const RunControl& control) {
    RenameRun run;
    const auto count = static_cast<qsizetype>(rows.size());
    const bool keeps = control.keepsOutcomes;
    if (keeps) run.outcomes.reserve(rows.size());
    // Whether each row tried so far renamed its folder: what a taken name is claimed by.
    std::vector<bool> renamed(rows.size(), false);
    const auto row = [&rows](qsizetype position) -> FolderRow& { return rows[position - 1]; };

    // Every row is filed under its current path, so the rows inside a folder that has just
    // been renamed are found without looking at the others.
    PathIndex index;
    index.Reserve(rows.size() + 64);
    std::vector<QString> listedAs;  // each row's current path before the run
    listedAs.reserve(rows.size());
    for (qsizetype position = 1; position <= count; ++position) {
        listedAs.push_back(WithSeparator(row(position).current));
        index.Add(listedAs.back(), position);
    }

    // The rows of the folder moved from `from` to `to`, and of everything inside it, follow
    // it: earlier rows (already renamed) and later rows (before their turn) alike. A row of
    // another folder keeps its new path, even one naming the place `from` has just left.
    // Only the later rows get their paths at once; the rows done so far (every row below the
    // folder, when the list runs deepest first) are carried in the index and get theirs when
    // the run ends, so a folder's rename does not rebuild the paths of all its sub-folders.
    qsizetype turn = 0;
    const auto follow = [&](const QString& from, const QString& to) {
        index.MoveVisitingAbove(from, to, turn, [&](qsizetype position, const QString& now) {
            FolderRow& moved = row(position);
            if (moved.newPath.startsWith(from)) {
                moved.newPath = to + moved.newPath.mid(from.size());
            }
            moved.current = now;
        });
        if (keeps) run.moves.push_back(PathMove{from, to});
    };

    // A taken name: claimed when an earlier row has just renamed its folder onto it, else
    // whatever stood there, and whether a row lists it.
    const auto taken = [&](qsizetype position, const QString& to, const DiskStep& step) {
        RowFate fate;
        fate.error = step.fate.error;
        if (const std::vector<qsizetype> there = index.At(to + kSeparator); !there.empty()) {
            fate.listed = true;
            for (qsizetype other : there) {
                if (other < position && renamed[static_cast<size_t>(other - 1)] &&
                    (fate.claimedBy == 0 || other < fate.claimedBy)) {
                    fate.claimedBy = other;
                }
            }
        }
        if (fate.claimedBy != 0) {
            fate.status = RowStatus::Claimed;
            fate.listed = false;
            return fate;
        }
        fate.status = RowStatus::Taken;
        fate.occupant = step.occupant.error == 0 ? step.occupant.kind : Occupant::Folder;
        return fate;
    };

    // What the row at `position` is tried with: its paths as the renames before it left them.
    const auto outcomeOf = [&](qsizetype position) {
        RowOutcome outcome;
        outcome.position = position;
        outcome.oldPath = row(position).current;
        outcome.newPath = row(position).newPath;
        return outcome;
    };

    // Files the row's turn, in row order: the rows that follow its folder, its fate, its report.
    const auto file = [&](RowOutcome& outcome, DiskStep& step) {
        const qsizetype position = outcome.position;
        turn = position;
        if (step.taken) {
            outcome.fate = taken(position, WithoutSeparator(outcome.newPath), step);
        } else {
            outcome.fate = std::move(step.fate);
        }
        if (step.moved) {
            // The new path's own text where it ends with the separator: one string for the
            // move, the outcome and the row's path after the run.
            follow(WithSeparator(outcome.oldPath), WithSeparator(outcome.newPath));
        } else if (!step.strandedAt.isEmpty()) {
            follow(WithSeparator(outcome.oldPath), step.strandedAt + kSeparator);
        }
        row(position).newPath.clear();
        renamed[static_cast<size_t>(position - 1)] = outcome.fate.status == RowStatus::Renamed;
        run.tried = position;
        if (!outcome.ok() && onFailure) onFailure(outcome);
        if (keeps) run.outcomes.push_back(std::move(outcome));
    };

    const auto stopped = [&] {
        return (cancel != nullptr && cancel->load(std::memory_order_relaxed)) ||
               (control.cancelled && control.cancelled());
    };

    // The rows of one depth in different parents commute: no rename there touches what
    // another looks at. Where the disk can prove it (a twin for a second thread, and plain
    // parents), a group of them is played on two threads, then filed in row order here.
    const std::unique_ptr<RunDisk> twin = control.threads >= 2 ? disk.Twin() : nullptr;
    SecondThread second;
    std::vector<RowOutcome> outcomes;
    std::vector<DiskStep> steps;
    QString unproven;

    qsizetype position = 1;
    while (position <= count) {
        if (stopped()) break;
        const SideBySide group = twin ? GroupRows(rows, position, disk, unproven) : SideBySide{};
        if (group.parents.size() < 2) {
            // One row at a time, for as many rows as were looked at (at least one).
            const qsizetype start = position;
            const qsizetype end = position + std::max<qsizetype>(group.rows, 1);
            for (; position < end; ++position) {
                if (position > start && stopped()) break;
                if (control.starting) control.starting(position, count, row(position).current);
                RowOutcome outcome = outcomeOf(position);
                DiskStep step = TryRow(outcome, listedAs[static_cast<size_t>(position - 1)], disk);
                file(outcome, step);
            }
            if (position < end) break;  // stopped
            continue;
        }

        const auto size = static_cast<std::size_t>(group.rows);
        outcomes.clear();
        for (qsizetype i = 0; i < group.rows; ++i) outcomes.push_back(outcomeOf(position + i));
        steps.assign(size, DiskStep{});
        std::vector<std::atomic<unsigned char>> states(size);
        const qsizetype first = position;
        std::atomic<std::size_t> next{0};
        qsizetype playedThere = 0;
        const bool started = second.Start([&] {
            playedThere =
                PlayParents(group, true, next, outcomes, listedAs, first, *twin, steps, states);
        });
        // Whatever happens here, the second thread is done with this group's state before it
        // goes.
        const WaitsFor waitsFor(second, started);
        // The second thread starts on the last parent, so that it always has work of its own.
        PlayParents(group, !started, next, outcomes, listedAs, first, disk, steps, states);
        // Filed in row order as soon as played, while the second thread finishes its own.
        for (std::size_t i = 0; i < size; ++i, ++position) {
            unsigned char state = states[i].load(std::memory_order_acquire);
            while (state == kPending) {
                states[i].wait(kPending, std::memory_order_acquire);
                state = states[i].load(std::memory_order_acquire);
            }
            if (control.starting) control.starting(position, count, outcomes[i].oldPath);
            // A row a thread gave up is played here, as one thread would.
            if (state == kLeft) steps[i] = TryRow(outcomes[i], listedAs[position - 1], disk);
            file(outcomes[i], steps[i]);
        }
        waitsFor.Wait();
        run.sideBySide += playedThere;
    }
    // The rows carried without their paths: where the index has them now.
    index.ForEachMoved([&](qsizetype moved, const QString& now) {
        FolderRow& folder = row(moved);
        if (folder.current != now) folder.current = now;
    });
    return run;
}

}  // namespace trellisane
