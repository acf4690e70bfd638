#include "cli/history_cli.h"

#include <sys/stat.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <memory>

#include "cli/journal_cli.h"
#include "folders/folder_entries.h"
#include "folders/folder_list.h"
#include "shell/error_text.h"

namespace trellisane {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

/// `text` on one line: backslash, TAB, CR and LF escaped.
QByteArray OneField(const QString& text) {
    QByteArray bytes = text.toUtf8();
    bytes.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r");
    return bytes;
}

}  // namespace

int ListHistory(const RunHistory& history, QByteArray& out, QByteArrayList& problems) {
    QStringList unreadable;
    for (const HistoryRun& run : history.List(&unreadable)) {
        out += OneField(run.id) + '\t' +
               QDateTime::fromMSecsSinceEpoch(run.about.startedMs, Qt::UTC)
                   .toString(Qt::ISODateWithMs)
                   .toUtf8() +
               '\t' + RunStateKeyword(run.state) + '\t' + QByteArray::number(run.renamed) + '\t' +
               OneField(run.about.origin) + '\t' + OneField(run.about.operation);
        for (const auto& [field, text] : run.about.answers) {
            out += '\t' + OneField(field) + '=' + OneField(text);
        }
        out += '\n';
    }
    for (const QString& problem : unreadable) problems << problem.toUtf8();
    return kExitOk;
}

std::optional<QString> HistoryRunOf(const RunHistory& history, const QByteArray& argument) {
    if (argument.contains('/')) return std::nullopt;
    struct stat status {};
    if (::lstat(argument.constData(), &status) == 0) return std::nullopt;  // a file is meant
    const QString id = QString::fromUtf8(argument);
    if (!QFile::exists(history.Folder() + u'/' + id + QStringLiteral(".journal"))) {
        return std::nullopt;
    }
    return id;
}

int UndoHistoryRun(const RunHistory& history, const QString& id, bool apply, bool print0,
                   QByteArray& out, QByteArrayList& problems, bool trustPaths) {
    const QByteArray named = "the run '" + id.toUtf8() + "' ";
    const UndoOfRun undo = history.Undo(id, apply, DefaultRenamePlatform(), trustPaths);
    switch (undo.refusal) {
        case UndoRefusal::None:
            break;
        case UndoRefusal::NoSuchRun:
            problems << named + "is not in the history";
            return kExitUsage;
        case UndoRefusal::Unreadable:
            problems << named + "cannot be read: " + undo.detail.toUtf8();
            return kExitUsage;
        case UndoRefusal::Running:
            problems << named + "is still going, or being undone";
            return kExitFailed;
        case UndoRefusal::Blocked:
            problems << named + "cannot be undone before the newer run '" +
                            undo.blockedBy.toUtf8() +
                            "', which renamed some of the same folders: undo that one first";
            return kExitFailed;
        case UndoRefusal::Nothing:
            problems << named + "renamed no folder: nothing to put back";
            return kExitOk;
    }
    if (!undo.blockedBy.isEmpty()) {
        problems << named + "is to be undone after the newer run '" + undo.blockedBy.toUtf8() +
                        "', which renamed some of the same folders";
    }
    const int status = ReportUndo(undo.moves, undo.result, named, apply, print0, out, problems);
    if (apply && !undo.detail.isEmpty()) {
        problems << named +
                        "was undone, but the history could not record it: " + undo.detail.toUtf8();
    }
    return status;
}

int ExportCsv(const RunHistory& history, const QByteArray& argument, QByteArray& out,
              QByteArrayList& problems) {
    const std::optional<QString> id = HistoryRunOf(history, argument);
    const QString path = id ? history.Folder() + u'/' + *id + QStringLiteral(".journal")
                            : QFile::decodeName(argument);
    QString error;
    const std::optional<JournalContents> contents = ReadJournal(path, error);
    if (!contents) {
        problems << "cannot read the journal '" + argument + "': " + error.toUtf8();
        return kExitUsage;
    }
    qint64 started = 0;
    if (contents->about) {
        started = contents->about->startedMs;
    } else {
        started = QFileInfo(path).lastModified().toMSecsSinceEpoch();
    }
    out += RunCsv(*contents, started);
    return kExitOk;
}

int ApplyRecorded(FolderList& list, const RunHistory& history, const JournalAbout& about,
                  QByteArrayList& problems, const std::function<void(const RowOutcome&)>& onFailure,
                  const RunControl& control) {
    QString id;
    int error = 0;
    const std::unique_ptr<JournalWriter> journal = history.Begin(about, id, error);
    if (!journal) {
        problems << "cannot record the run in the history '" + history.Folder().toUtf8() +
                        "': " + DescribeError(error).toUtf8();
        return kExitUsage;
    }
    const RenameRun run =
        ApplyRenames(list, onFailure, journal->Attach(DefaultRenamePlatform()), control);
    int status = kExitOk;
    const bool stopped = std::any_of(
        run.outcomes.begin(), run.outcomes.end(),
        [](const RowOutcome& outcome) { return outcome.fate.status == RowStatus::NotTried; });
    if (const int failed = journal->Finish(stopped); failed != 0) {
        problems << "cannot write the journal of the run '" + id.toUtf8() +
                        "': " + DescribeError(failed).toUtf8();
        status = kExitFailed;
    }
    history.Prune();
    return status;
}

}  // namespace trellisane
