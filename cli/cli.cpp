#include "cli/cli.h"

#include <unistd.h>

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <exception>
#include <optional>
#include <vector>

#include "cli/history_cli.h"
#include "cli/journal_cli.h"
#include "cli/progress_counter.h"
#include "cli/status_output.h"
#include "engine/error_report.h"
#include "engine/operations.h"
#include "engine/preview.h"
#include "folders/folder_entries.h"
#include "folders/folder_list.h"
#include "folders/folder_tree.h"
#include "folders/subfolder_walk.h"
#include "rename/rename_run.h"
#include "shell/texts.h"

namespace trellisane {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

constexpr char kUsage[] = QT_TRANSLATE_NOOP(
    "Trellisane",
    "Usage: trellisane-cli --operation TEXT [--x TEXT] [--y TEXT] [--find TEXT]\n"
    "                      [--replace TEXT] [--subfolders]\n"
    "                      [--apply [--journal FILE | --record] [--quiet] | --status | --check]\n"
    "                      [--print0] FOLDER...\n"
    "       trellisane-cli --undo FILE|RUN [--apply] [--trust-paths] [--print0]\n"
    "       trellisane-cli --history\n"
    "       trellisane-cli --export-csv FILE|RUN\n"
    "\n"
    "Shows, for every FOLDER, the path it would get under one renaming operation, or renames\n"
    "it with --apply. Each FOLDER is added as one batch, in the order given.\n"
    "\n"
    "  --operation TEXT  the operation: a keyword or a full text from the list below\n"
    "  --x TEXT          the text to add or to remove\n"
    "  --y TEXT          the text before or after which x is added\n"
    "  --find TEXT       the text to find (find and replace)\n"
    "  --replace TEXT    the text to put in its place (find and replace)\n"
    "  --subfolders      add every folder beneath each FOLDER as well, deepest first;\n"
    "                    a folder whose name holds a character outside the single-byte\n"
    "                    set (Latin-1), a '?' or a control character, or is 260 characters\n"
    "                    or longer, is left out with everything beneath it, each named on\n"
    "                    standard error on a line beginning \"skipped: \"\n"
    "  --apply           rename the folders on disk, first row to last, then print the paths\n"
    "                    where they are now\n"
    "  --status          add a third field to every row: its status, as Start Renaming\n"
    "                    would find it (the statuses are listed below)\n"
    "  --check           print only the rows that would not be renamed, with their status\n"
    "                    and the reason; exit 1 when there is any\n"
    "  --journal FILE    with --apply, record the run in the new file FILE as it goes, so\n"
    "                    that --undo can put every folder back, even after a crash\n"
    "  --record          with --apply, keep the run in the history, beside the window's runs\n"
    "                    ($XDG_STATE_HOME/trellisane/history), so that it can be undone\n"
    "  --undo FILE|RUN   put back every folder the run recorded in FILE (or the run RUN of\n"
    "                    the history) renamed, newest first (with --apply; without, only\n"
    "                    show it: each folder's path now, a TAB and the path it would get\n"
    "                    back); a run of the history is undone only after every newer run\n"
    "                    over the same folders\n"
    "  --history         list the runs of the history, newest first: id, start (UTC), state\n"
    "                    (running, done, cut-short, partly-undone, undone), folders renamed,\n"
    "                    where it was made, the operation and its answers, TAB-separated\n"
    "  --export-csv FILE|RUN\n"
    "                    write what the run did as CSV: time (UTC), old path, new path,\n"
    "                    outcome\n"
    "  --trust-paths     with --undo, also put back the folders known only by their path:\n"
    "                    on a disk mounted again whose file system numbers its folders\n"
    "                    anew at each mount (exFAT, FAT, sshfs, overlays)\n"
    "  --print0          end every path with a NUL byte instead of a TAB or a newline\n"
    "  --quiet           with --apply, show no progress counter on standard error (one\n"
    "                    is shown only when it is a terminal); failures are still reported\n"
    "  --help, -h        show this help and exit\n"
    "  --version         show the version and exit\n"
    "  --                end of options: every later argument is a FOLDER\n"
    "\n"
    "An operation's answers must be given: --x to add or remove a text, --y and --x to add\n"
    "before or after every y, --find and --replace to find and replace; a missing one is a\n"
    "usage error. An answer given as \"\" is taken as a cancelled prompt: that operation then\n"
    "changes no name. An answer the operation does not use is warned about and ignored.\n"
    "\n"
    "Without --apply each row is printed as its current path, a TAB and its new path, one per\n"
    "line. A new path is printed for every row the operation applies to, even when it equals\n"
    "the current path; it is empty only when the operation made no change at all (an answer\n"
    "given as \"\").\n"
    "\n"
    "Statuses (--status, --check):\n"
    "  ok                the folder gets its new name\n"
    "  unchanged         the new name is the folder's current name: nothing to do\n"
    "  not-previewed     the row has no new path\n"
    "  refused           the name or the place does not allow the rename (an empty name,\n"
    "                    a separator, a name too long, a name the folder's file system\n"
    "                    would refuse or change, no permission, a read-only file system,\n"
    "                    or a folder the program never renames: the installed program's\n"
    "                    own, /, a folder directly in /, the home folder, a mount point)\n"
    "  taken             the new name is held by another entry in the parent folder\n"
    "  claimed           an earlier row gives its folder this new name first\n"
    "  missing           the current path no longer names a folder\n"
    "  failed            the folder cannot be examined or renamed for another reason the\n"
    "                    system gives (for example a folder of /proc, or one in an overlay's\n"
    "                    lower layer), shown with --check\n"
    "  may-fail          predicted ok, but its file system may refuse it (an overlay whose\n"
    "                    layers cannot be seen); counted as ok by --check, reason shown\n"
    "\n"
    "Every failure is reported as one line on standard error; a backslash or a control\n"
    "character in it is shown escaped (\\\\, \\n, \\t, \\x1b, ...).\n"
    "\n"
    "Exit status: 0 success, 1 some folder could not be renamed (or put back), 2 usage error\n"
    "(an existing --journal FILE, an --undo FILE that is no sound journal included).\n"
    "\n"
    "Operations (keyword, then full text):\n");

/// The threads `--apply` renames on: 2, or 1 where the environment sets
/// TRELLISANE_RUN_THREADS=1, which keeps every rename on the main thread (for measuring one
/// against the other; the outcomes are the same). A run with --journal or --record stays on one
/// thread whatever this says (RunControl::threads).
int RunThreads() { return qgetenv("TRELLISANE_RUN_THREADS") == "1" ? 1 : 2; }

/// The sixteen operations, one a line: two blanks, the keyword padded to one width, the text.
QByteArray OperationTable() {
    qsizetype width = 0;
    for (const CatalogueEntry& entry : Catalogue()) width = std::max(width, entry.keyword.size());
    QByteArray table;
    for (const CatalogueEntry& entry : Catalogue()) {
        if (entry.operation == Operation::OpNone) continue;  // the "-" separator rows
        table += "  " + entry.keyword.leftJustified(width + 2).toUtf8() +
                 entry.displayText.toUtf8() + '\n';
    }
    return table;
}

/// The prompt fields in the order their options are described.
constexpr PromptField kFields[] = {PromptField::X, PromptField::Y, PromptField::FindWhat,
                                   PromptField::ReplaceWith};

/// Output gathered into large blocks, so that 100,000 rows cost a handful of writes. Bytes are
/// written exactly as given. Remembers whether any write failed.
class Output {
  public:
    explicit Output(std::FILE* file) : m_file(file) { m_buffer.reserve(kBlock); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;
    ~Output() { Flush(); }

    Output& operator<<(const QByteArray& bytes) {
        m_buffer.append(bytes);
        if (m_buffer.size() >= kBlock) Flush();
        return *this;
    }
    Output& operator<<(const char* text) { return *this << QByteArray(text); }
    Output& operator<<(char byte) {
        m_buffer.append(byte);
        return *this;
    }
    Output& operator<<(const QString& text) { return *this << text.toUtf8(); }

    /// Writes out what is gathered; false once any write has failed.
    bool Flush() {
        if (!m_buffer.isEmpty()) {
            const auto size = static_cast<size_t>(m_buffer.size());
            if (std::fwrite(m_buffer.constData(), 1, size, m_file) != size) m_failed = true;
            m_buffer.clear();
        }
        if (std::fflush(m_file) != 0) m_failed = true;
        return !m_failed;
    }

  private:
    static constexpr qsizetype kBlock = 1 << 20;
    std::FILE* m_file;
    QByteArray m_buffer;
    bool m_failed = false;
};

/// What the command line asked for.
struct Request {
    std::optional<QString> operation;
    PromptAnswers answers;
    std::vector<PromptField> given;  ///< the answers given as options, each once
    bool subfolders = false;
    bool apply = false;
    bool print0 = false;
    bool status = false;
    bool check = false;
    bool quiet = false;
    bool trustPaths = false;
    bool history = false;
    bool record = false;
    std::optional<QByteArray> journal;    ///< --journal FILE, as bytes
    std::optional<QByteArray> exportCsv;  ///< --export-csv FILE|RUN, as bytes
    std::optional<QByteArray> undo;       ///< --undo FILE, as bytes
    std::vector<QByteArray> folders;
};

/// `bytes` decoded as UTF-8, or std::nullopt when they are not valid UTF-8 (a stray byte, an
/// overlong form, an encoded surrogate). A leading byte order mark is kept as a character.
std::optional<QString> DecodeUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom |
                                                     QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError() || text.toUtf8() != bytes) return std::nullopt;
    return text;
}

/// The working directory as the kernel gives it, without a trailing separator (except "/").
std::optional<QByteArray> WorkingDirectory() {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return std::nullopt;
        buffer.resize(buffer.size() * 2);
    }
    return QByteArray(buffer.data());
}

/// `folder` made absolute as a row path: joined to `cwd` when relative, then cleaned as text
/// (links are never resolved): empty and "." components dropped, ".." takes away the component
/// before it (never above the root), so the last component is always the folder's own name.
/// One separator is appended, so the root becomes "//" as the window gives it.
QByteArray RowPathOf(const QByteArray& folder, const QByteArray& cwd) {
    const QByteArray joined = folder.startsWith('/') ? folder : cwd + '/' + folder;
    QList<QByteArray> components;
    for (const QByteArray& component : joined.split('/')) {
        if (component.isEmpty() || component == ".") continue;
        if (component == "..") {
            if (!components.isEmpty()) components.removeLast();
            continue;
        }
        components.push_back(component);
    }
    return '/' + components.join('/') + '/';
}

/// `text` (a message in the person's language) as UTF-8, its "%1" replaced by `bytes` byte for
/// byte: a name given on the command line is shown as given, valid UTF-8 or not.
QByteArray Said(const QString& text, const QByteArray& bytes = QByteArray()) {
    QByteArray said = text.toUtf8();
    const qsizetype at = said.indexOf("%1");
    if (at >= 0) said.replace(at, 2, bytes);
    return said;
}

/// Writes one line to standard error: "trellisane-cli: ", `message` escaped, a newline.
void Complain(Output& err, const QByteArray& message) {
    err << "trellisane-cli: " << EscapeLine(message) << '\n';
}

/// Reports a usage error with the pointer to --help; returns the usage exit status.
int UsageError(Output& err, const QByteArray& message) {
    Complain(err, message);
    err << Trellisane::tr("Try 'trellisane-cli --help'.").toUtf8() << '\n';
    return kExitUsage;
}

/// Parses the arguments. Returns an exit status when the run ends here (help, version or a
/// usage error, already reported), std::nullopt when `request` is ready.
std::optional<int> Parse(int argc, char** argv, Request& request, Output& out, Output& err) {
    const auto usageError = [&](const QByteArray& message) { return UsageError(err, message); };
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (optionsEnded || !arg.startsWith('-') || arg == "-") {
            request.folders.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const qsizetype equals = arg.startsWith("--") ? arg.indexOf('=') : -1;
        const QByteArray name = equals < 0 ? arg : arg.left(equals);
        std::optional<QByteArray> inlineValue;
        if (equals >= 0) inlineValue = arg.mid(equals + 1);

        bool* flag = nullptr;
        if (name == "--subfolders") flag = &request.subfolders;
        if (name == "--apply") flag = &request.apply;
        if (name == "--print0") flag = &request.print0;
        if (name == "--status") flag = &request.status;
        if (name == "--check") flag = &request.check;
        if (name == "--quiet") flag = &request.quiet;
        if (name == "--trust-paths") flag = &request.trustPaths;
        if (name == "--history") flag = &request.history;
        if (name == "--record") flag = &request.record;
        const bool help = name == "--help" || name == "-h";
        if (help || name == "--version" || flag != nullptr) {
            if (inlineValue)
                return usageError(Said(Trellisane::tr("option '%1' takes no value"), name));
            if (help) {
                out << Trellisane::tr(kUsage).toUtf8() << OperationTable();
                return kExitOk;
            }
            if (name == "--version") {
                out << "trellisane-cli " TRELLISANE_VERSION "\n";
                return kExitOk;
            }
            *flag = true;
            continue;
        }

        std::optional<QByteArray>* file = nullptr;
        if (name == "--journal") file = &request.journal;
        if (name == "--undo") file = &request.undo;
        if (name == "--export-csv") file = &request.exportCsv;
        if (file != nullptr) {
            if (inlineValue) {
                file->emplace(*inlineValue);
            } else if (i + 1 < argc) {
                file->emplace(argv[++i]);
            } else {
                return usageError(Said(Trellisane::tr("option '%1' needs a value"), name));
            }
            if ((*file)->isEmpty())
                return usageError(Said(Trellisane::tr("option '%1' needs a file name"), name));
            continue;
        }

        QString* value = nullptr;
        if (name == "--operation") value = &request.operation.emplace();
        for (const PromptField field : kFields) {
            if (name != "--" + FieldName(field).toUtf8()) continue;
            value = &AnswerOf(request.answers, field);
            if (std::find(request.given.begin(), request.given.end(), field) ==
                request.given.end()) {
                request.given.push_back(field);
            }
        }
        if (value == nullptr) return usageError(Said(Trellisane::tr("unknown option '%1'"), name));
        QByteArray bytes;
        if (inlineValue) {
            bytes = *inlineValue;
        } else if (i + 1 < argc) {
            bytes = QByteArray(argv[++i]);  // taken as it is, even when it starts with '-'
        } else {
            return usageError(Said(Trellisane::tr("option '%1' needs a value"), name));
        }
        // A text that is not UTF-8 cannot be carried into a name faithfully.
        const std::optional<QString> text = DecodeUtf8(bytes);
        if (!text)
            return usageError(Said(Trellisane::tr("the value of '%1' is not valid UTF-8"), name));
        *value = *text;
    }
    if (request.history || request.exportCsv) {
        if (request.operation || request.journal || request.undo || request.apply ||
            request.record || request.status || request.check || !request.folders.empty() ||
            (request.history && request.exportCsv)) {
            return usageError(Said(
                Trellisane::tr("--history and --export-csv take no other option and no FOLDER")));
        }
        return std::nullopt;
    }
    if (request.undo) {
        if (request.operation || request.journal || request.record || request.status ||
            request.check || !request.folders.empty()) {
            return usageError(Said(Trellisane::tr(
                "--undo takes no --operation, --journal, --status, --check or FOLDER")));
        }
        return std::nullopt;
    }
    if (request.trustPaths)
        return usageError(Said(Trellisane::tr("--trust-paths goes with --undo")));
    if (request.journal && !request.apply)
        return usageError(Said(Trellisane::tr("--journal needs --apply")));
    if (request.record && (!request.apply || request.journal))
        return usageError(Said(Trellisane::tr("--record needs --apply, and no --journal")));
    if (!request.operation) return usageError(Said(Trellisane::tr("--operation is missing")));
    if (request.folders.empty()) return usageError(Said(Trellisane::tr("no FOLDER given")));
    if (request.apply && (request.status || request.check)) {
        return usageError(Said(
            Trellisane::tr("--status and --check show a preview; they do not go with --apply")));
    }
    return std::nullopt;
}

/// Checks the answers given against those `operation` asks for: a missing one is a usage error
/// (returned, already reported); one it does not use gets a warning and is otherwise ignored.
std::optional<int> CheckAnswers(Operation operation, const Request& request, Output& err) {
    const CatalogueEntry* entry = EntryOf(operation);
    const auto given = [&](PromptField field) {
        return std::find(request.given.begin(), request.given.end(), field) != request.given.end();
    };
    const auto asked = [&](PromptField field) {
        return std::any_of(entry->prompts.begin(), entry->prompts.end(),
                           [&](const Prompt& prompt) { return prompt.field == field; });
    };
    QByteArrayList missing;
    for (const Prompt& prompt : entry->prompts) {
        if (!given(prompt.field)) missing << "--" + FieldName(prompt.field).toUtf8();
    }
    if (!missing.isEmpty()) {
        const QString needed = QString::fromUtf8(missing.join(Said(Trellisane::tr(" and "))));
        return UsageError(err,
                          Said(Trellisane::tr("'%1' needs %2").arg(entry->displayText, needed)));
    }
    for (const PromptField field : request.given) {
        if (asked(field)) continue;
        Complain(err, Said(Trellisane::tr("warning: --%1 is not used by '%2' and changes nothing")
                               .arg(FieldName(field), entry->displayText)));
    }
    return std::nullopt;
}

/// What the history keeps about a run of `operation` that `request` asks for.
JournalAbout AboutTheRun(Operation operation, const Request& request) {
    JournalAbout about;
    about.startedMs = QDateTime::currentMSecsSinceEpoch();
    about.origin = QStringLiteral("companion");
    about.operation = EntryOf(operation)->displayText;
    for (const Prompt& prompt : EntryOf(operation)->prompts) {
        about.answers.emplace_back(FieldName(prompt.field),
                                   AnswerOf(request.answers, prompt.field));
    }
    return about;
}

int Run(int argc, char** argv, Output& out, Output& err, int errFd) {
    Request request;
    if (const std::optional<int> status = Parse(argc, argv, request, out, err)) return *status;
    if (request.history || request.exportCsv || request.undo) {
        const RunHistory history(RunHistory::DefaultFolder());
        QByteArray shown;
        QByteArrayList problems;
        std::optional<QString> run;
        if (request.undo) run = HistoryRunOf(history, *request.undo);
        const int status = request.history ? ListHistory(history, shown, problems)
                           : request.exportCsv
                               ? ExportCsv(history, *request.exportCsv, shown, problems)
                           : run ? UndoHistoryRun(history, *run, request.apply, request.print0,
                                                  shown, problems, request.trustPaths)
                                 : RunUndo(*request.undo, request.apply, request.print0, shown,
                                           problems, request.trustPaths);
        for (const QByteArray& problem : problems) Complain(err, problem);
        out << shown;
        if (out.Flush()) return status;
        err << "trellisane-cli: " << Trellisane::tr("cannot write the output").toUtf8() << '\n';
        return kExitFailed;
    }

    const QString operationText = *request.operation;
    const Operation operation = MatchOperation(operationText);
    if (operation == Operation::OpNone) {
        Complain(err,
                 Said(Trellisane::tr("--operation '%1' selects no operation; the operations are:")
                          .arg(operationText)));
        err << OperationTable();
        return kExitUsage;
    }
    if (const std::optional<int> status = CheckAnswers(operation, request, err)) return *status;

    // Every FOLDER is checked before anything is done.
    const std::optional<QByteArray> cwd = WorkingDirectory();
    std::vector<QString> rowPaths;
    for (const QByteArray& folder : request.folders) {
        if (!folder.startsWith('/') && !cwd) {
            Complain(err,
                     Said(Trellisane::tr("cannot read the working directory for '%1'"), folder));
            return kExitUsage;
        }
        const QByteArray path = RowPathOf(folder, cwd.value_or(QByteArray()));
        const std::optional<QString> text = DecodeUtf8(path);
        if (!text) {
            Complain(err, Said(Trellisane::tr("the name of '%1' is not valid UTF-8"), folder));
            return kExitUsage;
        }
        if (folder.isEmpty() || !IsFolder(path)) {
            Complain(err, Said(Trellisane::tr("'%1' is not an existing folder"), folder));
            return kExitUsage;
        }
        rowPaths.push_back(*text);
    }

    FolderList list;
    WalkHooks walkHooks;
    walkHooks.report = [&err](const QString& description, int line) {
        Complain(err,
                 ErrorReportText(description, QString::fromUtf8(kWalkLocation), line).toUtf8());
    };
    // Each folder the walk leaves out is named on a line of its own, so scripts that count
    // failure lines can tell these apart by their prefix; the exit status does not change.
    walkHooks.skipped = [&err](const QByteArray& path) {
        err << "skipped: " << EscapeLine(path) << '\n';
    };
    for (const QString& path : rowPaths) {
        // The walk files every folder it finds in the batch's tree; the list takes the tree.
        FolderTree tree(kPathSeparator);
        std::vector<FolderTree::NodeId> batch{tree.Add(path)};
        if (request.subfolders) GetSubDirectories2016(tree, batch, true, walkHooks);
        list.AppendBatch(std::move(tree), batch);
    }

    PreviewRows(list, operation, request.answers);

    const char fieldEnd = request.print0 ? '\0' : '\t';
    const char rowEnd = request.print0 ? '\0' : '\n';
    int status = kExitOk;
    if (request.apply) {
        QByteArrayList problems;
        ProgressCounter counter(ShowsProgress(request.quiet, errFd),
                                [&err](const QByteArray& line) {
                                    err << line;
                                    err.Flush();
                                });
        RunControl control;
        control.starting = [&counter](qsizetype position, qsizetype count, const QString&) {
            counter.Update(position, count);
        };
        // The rows are printed from the list and failures as they come: a run kept only for
        // the history needs its outcomes.
        control.keepsOutcomes = request.record;
        control.threads = RunThreads();
        const auto onFailure = [&](const RowOutcome& outcome) {
            counter.Erase();
            Complain(err, outcome.Report().toUtf8());
            err.Flush();  // before the counter is drawn again
            status = kExitFailed;
        };
        const int journalStatus =
            request.record
                ? ApplyRecorded(list, RunHistory(RunHistory::DefaultFolder()),
                                AboutTheRun(operation, request), problems, onFailure, control)
                : ApplyWithJournal(list, request.journal, problems, onFailure, control);
        counter.Erase();
        for (const QByteArray& problem : problems) Complain(err, problem);
        if (journalStatus == kExitUsage) return kExitUsage;
        if (journalStatus != kExitOk) status = journalStatus;
        for (qsizetype position = 1; position <= list.Count(); ++position) {
            out << list.Current(position) << rowEnd;
        }
    } else if (request.status || request.check) {
        status = WriteRowStatuses(
            list.Rows(), request.check ? StatusOutput::NotRenamedOnly : StatusOutput::EveryRow,
            request.print0, [&out](const QByteArray& block) { out << block; });
    } else {
        // Each row's paths are built from the list's tree as they are written, none kept.
        for (qsizetype position = 1; position <= list.Count(); ++position) {
            out << list.Current(position) << fieldEnd << list.NewPath(position) << rowEnd;
        }
    }
    if (!out.Flush()) {
        Complain(err, Said(Trellisane::tr("cannot write the output")));
        return kExitFailed;
    }
    return status;
}

}  // namespace

QByteArray EscapeLine(const QByteArray& text) {
    const bool utf8 = DecodeUtf8(text).has_value();
    QByteArray line;
    line.reserve(text.size());
    const auto hex = [&line](unsigned value) {
        line += "\\x" + QByteArray::number(value, 16).rightJustified(2, '0');
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const char* named = nullptr;
        switch (byte) {
            case '\\':
                named = "\\\\";
                break;
            case '\a':
                named = "\\a";
                break;
            case '\b':
                named = "\\b";
                break;
            case '\t':
                named = "\\t";
                break;
            case '\n':
                named = "\\n";
                break;
            case '\v':
                named = "\\v";
                break;
            case '\f':
                named = "\\f";
                break;
            case '\r':
                named = "\\r";
                break;
            default:
                break;
        }
        const bool c1 = utf8 && byte == 0xC2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;  // U+0080 to U+009F
        if (named != nullptr) {
            line += named;
        } else if (byte < 0x20 || byte == 0x7F || (!utf8 && byte >= 0x80)) {
            hex(byte);
        } else if (c1) {
            hex(static_cast<unsigned char>(text[++i]));
        } else {
            line += static_cast<char>(byte);
        }
    }
    return line;
}

int RunCli(int argc, char** argv, std::FILE* out, std::FILE* err) {
    Output output(out);
    Output errors(err);
    try {
        return Run(argc, argv, output, errors, fileno(err));
    } catch (...) {
        Complain(errors, DescribeException(std::current_exception()).toUtf8());
        return kExitFailed;
    }
}

}  // namespace trellisane
