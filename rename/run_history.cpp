#include "rename/run_history.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>

#include "folders/folder_entries.h"
#include "folders/path_separator.h"
#include "rename/naming_rules.h"
#include "rename/path_index.h"
#include "shell/error_text.h"
#include "shell/texts.h"

namespace trellisane {

namespace {

constexpr char kSuffix[] = ".journal";

/// A file descriptor closed (and so unlocked) when it goes out of scope.
class Fd {
  public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }

  private:
    int m_fd;
};

/// Takes the flock `operation` without waiting: 0, EWOULDBLOCK when another holds it, or
/// another errno. A file system without locks counts as unlocked.
int TryLock(int fd, int operation) {
    while (::flock(fd, operation | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno == ENOLCK || errno == EINVAL) return 0;
        return errno;
    }
    return 0;
}

/// The whole file open at `fd`, or the errno value of what failed.
int ReadAll(int fd, QByteArray& bytes) {
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return errno;
        if (got == 0) return 0;
        bytes.append(buffer, got);
    }
}

int WriteAll(int fd, const QByteArray& bytes) {
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t step =
            ::write(fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
        if (step < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        written += step;
    }
    return ::fdatasync(fd) == 0 ? 0 : errno;
}

/// Appends `record` to the journal open (and locked) at `fd`, whose whole text `bytes` reads as
/// `contents`: a torn last record is cut off first, since it would no longer be the last one.
/// 0 or the errno value of what failed.
int Append(int fd, const JournalContents& contents, const QByteArray& bytes,
           const QByteArray& record) {
    if (contents.soundSize < bytes.size() && ::ftruncate(fd, contents.soundSize) != 0) {
        return errno;
    }
    if (::lseek(fd, 0, SEEK_END) < 0) return errno;
    return WriteAll(fd, record);
}

/// The run of `contents`, read from the journal at `path`.
HistoryRun RunOf(const QString& id, const QString& path, const JournalContents& contents,
                 qint64 bytes, bool locked) {
    HistoryRun run;
    run.id = id;
    run.path = path;
    if (contents.about) {
        run.about = *contents.about;
    } else {
        run.about.startedMs = QFileInfo(path).lastModified().toMSecsSinceEpoch();
    }
    run.endedMs = contents.endedMs;
    run.stopped = contents.stopped;
    run.undos = contents.undos;
    run.bytes = bytes;
    run.offered = contents.offered;
    for (const JournalEntry& entry : contents.entries) {
        if (entry.done == JournalEntry::Done::Moved) ++run.renamed;
        if (entry.done == JournalEntry::Done::Unknown) ++run.uncertain;
    }
    if (!run.undos.empty()) {
        const JournalUndo& last = run.undos.back();
        run.state =
            last.complete && last.notPutBack == 0 ? RunState::Undone : RunState::PartlyUndone;
    } else if (contents.endedMs) {
        run.state = RunState::Done;
    } else {
        run.state = locked ? RunState::Running : RunState::CutShort;
    }
    return run;
}

/// Every path a run's entries name (from, to, where it went, a temporary name), each with a
/// trailing separator, sorted. Entries known not to have moved are left out.
std::vector<QString> PathsOf(const JournalContents& contents) {
    std::vector<QString> paths;
    for (const JournalEntry& entry : contents.entries) {
        if (entry.done == JournalEntry::Done::NotMoved) continue;
        for (const QByteArray* path : {&entry.from, &entry.to, &entry.at, &entry.temporary}) {
            if (!path->isEmpty()) paths.push_back(WithSeparator(QString::fromUtf8(*path)));
        }
    }
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    return paths;
}

/// Whether a path of `a` is equal to, inside or holding a path of `b` (both sorted, every
/// path ending with a separator).
bool Overlap(const std::vector<QString>& a, const std::vector<QString>& b) {
    for (const QString& path : a) {
        // b holds the path itself or something inside it.
        const auto at = std::lower_bound(b.begin(), b.end(), path);
        if (at != b.end() && at->startsWith(path)) return true;
        // b holds a folder that holds the path.
        for (qsizetype slash = path.lastIndexOf(kPathSeparator, path.size() - 2); slash > 0;
             slash = path.lastIndexOf(kPathSeparator, slash - 1)) {
            if (std::binary_search(b.begin(), b.end(), path.left(slash + 1))) return true;
        }
    }
    return false;
}

/// The journal's whole text, for the run of `path`: opened, read, closed.
std::optional<JournalContents> ReadLocked(const QString& path, QString& error, bool* locked,
                                          qint64* bytes) {
    const Fd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        error = DescribeError(errno);
        return std::nullopt;
    }
    if (locked != nullptr) *locked = TryLock(fd.get(), LOCK_SH) == EWOULDBLOCK;
    QByteArray content;
    if (const int failed = ReadAll(fd.get(), content); failed != 0) {
        error = DescribeError(failed);
        return std::nullopt;
    }
    if (bytes != nullptr) *bytes = content.size();
    return ParseJournal(content, error);
}

/// The moves of run `id`'s journal, or nothing with `error` saying why.
std::optional<std::vector<QString>> PathsOfRun(const HistoryRun& run) {
    QString error;
    const std::optional<JournalContents> contents = ReadLocked(run.path, error, nullptr, nullptr);
    if (!contents) return std::nullopt;
    return PathsOf(*contents);
}

QString Iso8601(qint64 ms) {
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC)
        .toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz'Z'"));
}

QByteArray CsvField(const QString& text) {
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\n') &&
        !bytes.contains('\r')) {
        return bytes;
    }
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

}  // namespace

const char* RunStateKeyword(RunState state) {
    switch (state) {
        case RunState::Running:
            return "running";
        case RunState::Done:
            return "done";
        case RunState::CutShort:
            return "cut-short";
        case RunState::PartlyUndone:
            return "partly-undone";
        case RunState::Undone:
            return "undone";
    }
    return "done";
}

QString DescribeRunState(RunState state) {
    switch (state) {
        case RunState::Running:
            return Trellisane::tr("Running");
        case RunState::Done:
            return Trellisane::tr("Done");
        case RunState::CutShort:
            return Trellisane::tr("Cut short");
        case RunState::PartlyUndone:
            return Trellisane::tr("Partly undone");
        case RunState::Undone:
            return Trellisane::tr("Undone");
    }
    return QString();
}

bool HistoryRun::Standing() const {
    switch (state) {
        case RunState::Running:
        case RunState::Done:
        case RunState::CutShort:
            return true;
        case RunState::PartlyUndone:
            return !undos.back().complete;
        case RunState::Undone:
            return false;
    }
    return true;
}

RunHistory::RunHistory(QString folder) : m_folder(std::move(folder)) {}

QString RunHistory::DefaultFolder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!state.startsWith(u'/')) state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/trellisane/history");
}

QString RunHistory::JournalPath(const QString& id) const {
    return m_folder + u'/' + id + QLatin1String(kSuffix);
}

std::unique_ptr<JournalWriter> RunHistory::Begin(const JournalAbout& about, QString& id,
                                                 int& error) const {
    error = 0;
    if (!QDir().mkpath(m_folder)) {
        error = errno != 0 ? errno : EACCES;
        return nullptr;
    }
    // Only its owner reads what was renamed where, whatever the umask made of it.
    if (::chmod(QFile::encodeName(m_folder).constData(), 0700) != 0) {
        error = errno;
        return nullptr;
    }
    const QString stamp = QDateTime::fromMSecsSinceEpoch(about.startedMs, Qt::UTC)
                              .toString(QStringLiteral("yyyyMMdd'T'HHmmss'.'zzz'Z'"));
    const QString base = stamp + u'-' + QString::number(::getpid());
    for (int attempt = 0; attempt < 1000; ++attempt) {
        id = attempt == 0 ? base : base + u'-' + QString::number(attempt);
        std::unique_ptr<JournalWriter> writer = JournalWriter::Create(
            QFile::encodeName(JournalPath(id)), error, kJournalBatch, about, 0600);
        if (writer || error != EEXIST) return writer;
    }
    return nullptr;
}

std::vector<HistoryRun> RunHistory::List(QStringList* problems) const {
    std::vector<HistoryRun> runs;
    const QDir folder(m_folder);
    const QStringList names =
        folder.entryList({QStringLiteral("*") + QLatin1String(kSuffix)}, QDir::Files);
    for (const QString& name : names) {
        const QString path = folder.filePath(name);
        QString error;
        bool locked = false;
        qint64 bytes = 0;
        const std::optional<JournalContents> contents = ReadLocked(path, error, &locked, &bytes);
        if (!contents) {
            // A journal this instant created holds nothing yet: not worth a word.
            if (problems != nullptr && bytes > 0) *problems << path + QStringLiteral(": ") + error;
            continue;
        }
        runs.push_back(
            RunOf(name.chopped(qsizetype(sizeof kSuffix) - 1), path, *contents, bytes, locked));
    }
    std::sort(runs.begin(), runs.end(), [](const HistoryRun& a, const HistoryRun& b) {
        if (a.about.startedMs != b.about.startedMs) return a.about.startedMs > b.about.startedMs;
        return a.id > b.id;
    });
    return runs;
}

std::optional<QString> RunHistory::BlockedBy(const std::vector<HistoryRun>& runs,
                                             const QString& id) const {
    const auto target = std::find_if(runs.begin(), runs.end(),
                                     [&id](const HistoryRun& run) { return run.id == id; });
    if (target == runs.end()) return std::nullopt;
    std::optional<std::vector<QString>> own;
    // Newest first: the first in the way is the one to undo before.
    for (auto newer = runs.begin(); newer != target; ++newer) {
        if (!newer->Standing()) continue;
        if (!own) own = PathsOfRun(*target);
        if (!own) return std::nullopt;  // unreadable now: Undo says so itself
        const std::optional<std::vector<QString>> theirs = PathsOfRun(*newer);
        // A journal that cannot be read cannot be shown apart: it stands in the way.
        if (!theirs || Overlap(*own, *theirs)) return newer->id;
    }
    return std::nullopt;
}

const HistoryRun* RunHistory::NextToUndo(const std::vector<HistoryRun>& runs) {
    for (const HistoryRun& run : runs) {
        const bool moved = run.renamed + run.uncertain > 0;  // else nothing to take back
        if (moved && run.Standing() && run.state != RunState::Running) return &run;
    }
    return nullptr;
}

UndoOfRun RunHistory::Undo(const QString& id, bool apply, const RenamePlatform& platform,
                           bool trustPaths, const UndoControl& control) const {
    UndoOfRun undo;
    const std::vector<HistoryRun> runs = List();
    const auto run = std::find_if(runs.begin(), runs.end(),
                                  [&id](const HistoryRun& each) { return each.id == id; });
    if (run == runs.end()) {
        undo.refusal = UndoRefusal::NoSuchRun;
        return undo;
    }
    if (run->state == RunState::Running) {
        undo.refusal = UndoRefusal::Running;
        return undo;
    }
    if (const std::optional<QString> blocker = BlockedBy(runs, id)) {
        undo.blockedBy = *blocker;
        if (apply) {
            undo.refusal = UndoRefusal::Blocked;
            return undo;
        }
    }

    const Fd fd(
        ::open(QFile::encodeName(run->path).constData(), (apply ? O_RDWR : O_RDONLY) | O_CLOEXEC));
    if (fd.get() < 0) {
        undo.refusal = errno == ENOENT ? UndoRefusal::NoSuchRun : UndoRefusal::Unreadable;
        undo.detail = DescribeError(errno);
        return undo;
    }
    // Another undo of the run (another window, the companion) waits for none: one is enough.
    if (apply && TryLock(fd.get(), LOCK_EX) == EWOULDBLOCK) {
        undo.refusal = UndoRefusal::Running;
        return undo;
    }
    QByteArray bytes;
    if (const int failed = ReadAll(fd.get(), bytes); failed != 0) {
        undo.refusal = UndoRefusal::Unreadable;
        undo.detail = DescribeError(failed);
        return undo;
    }
    std::optional<JournalContents> contents = ParseJournal(bytes, undo.detail);
    std::optional<std::vector<RecordedMove>> moves =
        contents ? MovesOfJournal(*contents, undo.detail) : std::nullopt;
    if (!moves) {
        undo.refusal = UndoRefusal::Unreadable;
        return undo;
    }
    undo.moves = std::move(*moves);
    if (undo.moves.empty()) {
        undo.refusal = UndoRefusal::Nothing;
        return undo;
    }
    undo.result = UndoMoves(undo.moves, apply, platform, trustPaths, control);
    if (!apply) return undo;

    const bool complete = control.cancel == nullptr || !control.cancel->load();
    undo.record = CountUndo(undo.moves, undo.result, complete);
    undo.record.endedMs = QDateTime::currentMSecsSinceEpoch();
    // A torn last record would no longer be the last one: it goes first.
    if (const int failed = Append(fd.get(), *contents, bytes, UndoneRecord(undo.record));
        failed != 0) {
        undo.detail = DescribeError(failed);
    }
    return undo;
}

bool RunHistory::MarkOffered(const QString& id) const {
    const Fd fd(::open(QFile::encodeName(JournalPath(id)).constData(), O_RDWR | O_CLOEXEC));
    if (fd.get() < 0 || TryLock(fd.get(), LOCK_EX) != 0) return false;
    QByteArray bytes;
    QString error;
    if (ReadAll(fd.get(), bytes) != 0) return false;
    const std::optional<JournalContents> contents = ParseJournal(bytes, error);
    if (!contents) return false;
    if (contents->offered) return true;
    return Append(fd.get(), *contents, bytes, OfferedRecord(QDateTime::currentMSecsSinceEpoch())) ==
           0;
}

bool RunHistory::Forget(const QString& id, QString& error) const {
    const QString path = JournalPath(id);
    const Fd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        error = DescribeError(errno);
        return false;
    }
    if (TryLock(fd.get(), LOCK_EX) == EWOULDBLOCK) {
        error = Trellisane::tr("The run, or an undo of it, is still going.");
        return false;
    }
    if (::unlink(QFile::encodeName(path).constData()) != 0) {
        error = DescribeError(errno);
        return false;
    }
    return true;
}

QStringList RunHistory::Prune(int maxRuns, qint64 maxBytes) const {
    std::vector<HistoryRun> runs = List();
    qint64 bytes = 0;
    for (const HistoryRun& run : runs) bytes += run.bytes;
    auto count = static_cast<qint64>(runs.size());
    QStringList dropped;
    // Oldest first.
    for (auto run = runs.rbegin(); run != runs.rend() && (count > maxRuns || bytes > maxBytes);
         ++run) {
        if (run->Standing() && run->state != RunState::Done) continue;  // cut short, running
        QString error;
        if (!Forget(run->id, error)) continue;
        dropped << run->id;
        --count;
        bytes -= run->bytes;
    }
    return dropped;
}

JournalUndo CountUndo(const std::vector<RecordedMove>& moves, const UndoResult& result,
                      bool complete) {
    JournalUndo counted;
    counted.complete = complete;
    for (size_t j = 0; j < result.outcomes.size(); ++j) {
        const UndoStatus status = result.outcomes[j].status;
        if (status == UndoStatus::PutBack) {
            ++counted.putBack;
        } else if (status != UndoStatus::AlreadyBack && moves[j].id) {
            ++counted.notPutBack;
        }
    }
    return counted;
}

std::vector<UndoPlanRow> UndoPlan(const UndoOfRun& dry) {
    std::vector<UndoPlanRow> rows;
    rows.reserve(dry.result.order.size());
    for (const qsizetype j : dry.result.order) {
        const UndoOutcome& outcome = dry.result.outcomes[static_cast<size_t>(j)];
        const RecordedMove& move = dry.moves[static_cast<size_t>(j)];
        if (!move.confirmed && outcome.status == UndoStatus::AlreadyBack) continue;
        UndoPlanRow row;
        row.now = outcome.at.isEmpty() ? outcome.found : outcome.at;
        row.back = outcome.target;
        switch (outcome.status) {
            case UndoStatus::PutBack:
                row.fate.status = RowStatus::Renamed;
                break;
            case UndoStatus::AlreadyBack:
                row.fate.status = RowStatus::Unchanged;
                break;
            case UndoStatus::ChangedSinceRun: {
                row.fate.status = RowStatus::Missing;
                row.reason = Trellisane::tr(
                    "The folder is at neither its old nor its new path: moved, deleted or "
                    "replaced since the run.");
                // Found nowhere: perhaps its disk is not there at all.
                const QByteArray recorded = move.id ? move.id->fileSystem : QByteArray();
                QString above = outcome.found;
                while (!above.isEmpty() && !QFileInfo::exists(above)) {
                    above = above.left(std::max<qsizetype>(0, above.lastIndexOf(u'/')));
                }
                const QByteArray now =
                    IdentityOf(above.isEmpty() ? QStringLiteral("/") : above).key;
                if (!recorded.isEmpty() && !now.isEmpty() && recorded != now) {
                    row.missingDisk = QString::fromUtf8(recorded);
                    row.reason = Trellisane::tr("The disk that holds it (%1) is not mounted now.")
                                     .arg(row.missingDisk);
                }
                break;
            }
            case UndoStatus::OldNameTaken:
                row.fate.status = RowStatus::Taken;
                row.reason = Trellisane::tr("Something else has the folder's old name now.");
                break;
            case UndoStatus::Failed:
                row.fate.status = RowStatus::Failed;
                row.fate.error = outcome.error;
                row.reason = Trellisane::tr("The folder cannot be renamed back: %1.")
                                 .arg(DescribeError(outcome.error));
                break;
            case UndoStatus::NotVouched:
                row.fate.status = RowStatus::Refused;
                row.reason = Trellisane::tr(
                    "The disk was mounted again and numbers its folders anew at each mount, so "
                    "only the path says this is the folder the run renamed.");
                break;
        }
        row.fate.detail = row.reason;
        rows.push_back(std::move(row));
    }
    return rows;
}

QByteArray RunCsv(const JournalContents& contents, qint64 startedMs) {
    QByteArray csv = "time,old path,new path,outcome\r\n";
    const QByteArray time = CsvField(Iso8601(startedMs));
    for (const JournalEntry& entry : contents.entries) {
        QString outcome;
        QByteArray to = entry.to;
        switch (entry.done) {
            case JournalEntry::Done::Unknown:
                outcome = QStringLiteral("unknown (cut short)");
                break;
            case JournalEntry::Done::NotMoved:
                outcome = QStringLiteral("not renamed");
                break;
            case JournalEntry::Done::Moved:
                outcome = entry.at == entry.to ? QStringLiteral("renamed")
                                               : QStringLiteral("left at a temporary name");
                to = entry.at;
                break;
        }
        csv += time + ',' + CsvField(QString::fromUtf8(entry.from)) + ',' +
               CsvField(QString::fromUtf8(to)) + ',' + CsvField(outcome) + "\r\n";
    }
    return csv;
}

std::optional<JournalContents> ReadJournal(const QString& path, QString& error) {
    return ReadLocked(path, error, nullptr, nullptr);
}

}  // namespace trellisane
