#include "cli/journal_cli.h"

#include <fcntl.h>
#include <unistd.h>

#include <QString>
#include <algorithm>
#include <cerrno>
#include <memory>

#include "folders/folder_entries.h"
#include "folders/folder_list.h"
#include "rename/journal.h"
#include "rename/undo.h"
#include "shell/error_text.h"

namespace trellisane {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

/// The whole file at `path`, or the errno value of what failed.
int ReadWhole(const QByteArray& path, QByteArray& bytes) {
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    int error = 0;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) error = errno;
        if (got <= 0) break;
        bytes.append(buffer, got);
    }
    ::close(fd);
    return error;
}

QByteArray Folder(const QString& path) { return path.toUtf8() + '/'; }

}  // namespace

int ApplyWithJournal(FolderList& list, const std::optional<QByteArray>& journalPath,
                     QByteArrayList& problems,
                     const std::function<void(const RowOutcome&)>& onFailure,
                     const RunControl& control) {
    if (!journalPath) {
        ApplyRenames(list, onFailure, DefaultRenamePlatform(), control);
        return kExitOk;
    }
    int error = 0;
    const std::unique_ptr<JournalWriter> journal = JournalWriter::Create(*journalPath, error);
    if (!journal) {
        problems << "cannot create the journal '" + *journalPath + "': " +
                        (error == EEXIST ? QByteArray("it already exists")
                                         : DescribeError(error).toUtf8());
        return kExitUsage;
    }
    ApplyRenames(list, onFailure, journal->Attach(DefaultRenamePlatform()), control);
    if (const int failed = journal->Finish(); failed != 0) {
        problems << "cannot write the journal '" + *journalPath +
                        "': " + DescribeError(failed).toUtf8();
        return kExitFailed;
    }
    return kExitOk;
}

int RunUndo(const QByteArray& journalPath, bool apply, bool print0, QByteArray& out,
            QByteArrayList& problems, bool trustPaths) {
    const QByteArray named = "the journal '" + journalPath + "' ";
    QByteArray bytes;
    if (const int error = ReadWhole(journalPath, bytes); error != 0) {
        problems << "cannot read the journal '" + journalPath +
                        "': " + DescribeError(error).toUtf8();
        return kExitUsage;
    }
    QString problem;
    const std::optional<JournalContents> contents = ParseJournal(bytes, problem);
    const std::optional<std::vector<RecordedMove>> moves =
        contents ? MovesOfJournal(*contents, problem) : std::nullopt;
    if (!moves) {
        problems << named + problem.toUtf8();
        return kExitUsage;
    }

    const UndoResult result = UndoMoves(*moves, apply, DefaultRenamePlatform(), trustPaths);
    return ReportUndo(*moves, result, named, apply, print0, out, problems);
}

int ReportUndo(const std::vector<RecordedMove>& moves, const UndoResult& result,
               const QByteArray& named, bool apply, bool print0, QByteArray& out,
               QByteArrayList& problems) {
    const char fieldEnd = print0 ? '\0' : '\t';
    const char rowEnd = print0 ? '\0' : '\n';
    int status = kExitOk;
    const bool nothingToPutBack =
        std::none_of(result.outcomes.begin(), result.outcomes.end(),
                     [](const UndoOutcome& o) { return o.status != UndoStatus::AlreadyBack; });
    if (nothingToPutBack) {
        // Undone before (or never renamed): said once, and no path printed as if put back.
        problems << named +
                        "has nothing to put back: every folder it recorded is at its old "
                        "name already";
        return kExitOk;
    }
    for (const qsizetype j : result.order) {
        const UndoOutcome& outcome = result.outcomes[static_cast<size_t>(j)];
        const bool confirmed = moves[static_cast<size_t>(j)].confirmed;
        // A rename of a run cut short that the disk shows never happened: nothing to tell.
        if (!confirmed && outcome.status == UndoStatus::AlreadyBack) continue;

        if (!outcome.at.isEmpty()) {
            if (apply) {
                out += Folder(outcome.at) + rowEnd;
            } else if (outcome.status == UndoStatus::PutBack) {
                out += Folder(outcome.found) + fieldEnd + Folder(outcome.target) + rowEnd;
            } else {
                out += Folder(outcome.at) + fieldEnd + rowEnd;
            }
        }

        QByteArray why;
        switch (outcome.status) {
            case UndoStatus::PutBack:
            case UndoStatus::AlreadyBack:
                continue;
            case UndoStatus::ChangedSinceRun:
                why =
                    "the folder the run renamed is at neither path (moved, deleted or "
                    "replaced since)";
                break;
            case UndoStatus::OldNameTaken:
                why = "the old name is taken";
                break;
            case UndoStatus::Failed:
                why = DescribeError(outcome.error).toUtf8();
                if (outcome.at != outcome.found)
                    why += "; the folder is now at '" + Folder(outcome.at) + "'";
                break;
            case UndoStatus::NotVouched:
                why =
                    "the disk was mounted again and its file system numbers folders anew at "
                    "each mount, so only the path says this is the folder the run renamed "
                    "(--trust-paths puts it back all the same)";
                break;
        }
        problems << "cannot put back '" + Folder(outcome.found) + "' to '" +
                        Folder(outcome.target) + "': " + why;
        status = kExitFailed;
    }
    // How folders were recognised on a disk mounted again since the run.
    qsizetype byFileSystem = 0;
    qsizetype byPath = 0;
    for (const UndoOutcome& outcome : result.outcomes) {
        const bool handled =
            outcome.status == UndoStatus::PutBack || outcome.status == UndoStatus::AlreadyBack;
        if (handled && outcome.vouch == Vouch::SameFileSystem) ++byFileSystem;
        if (handled && outcome.vouch == Vouch::PathOnly) ++byPath;
    }
    if (byFileSystem > 0) {
        problems << QByteArray::number(byFileSystem) +
                        " folders recognised by their file system's identity and inode number "
                        "(the disk was mounted again since the run)";
    }
    if (byPath > 0) {
        problems << QByteArray::number(byPath) +
                        " folders recognised by their path alone, as --trust-paths asks";
    }
    return status;
}

}  // namespace trellisane
