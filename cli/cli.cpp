#include "cli/cli.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <cerrno>
#include <exception>
#include <optional>
#include <vector>

#include "cli/journal_cli.h"
#include "engine/error_report.h"
#include "engine/operations.h"
#include "engine/preview.h"
#include "folders/folder_list.h"
#include "folders/subfolder_walk.h"
#include "rename/start_renaming.h"

namespace trellisane {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

constexpr char kUsage[] =
    "Usage: trellisane-cli --operation TEXT [--x TEXT] [--y TEXT] [--find TEXT]\n"
    "                      [--replace TEXT] [--subfolders] [--apply [--journal FILE]]\n"
    "                      [--print0] FOLDER...\n"
    "       trellisane-cli --undo FILE [--apply] [--print0]\n"
    "\n"
    "Shows, for every FOLDER, the path it would get under one renaming operation, or renames\n"
    "it with --apply. Each FOLDER is added as one batch, in the order given.\n"
    "\n"
    "  --operation TEXT  the operation: a full entry below or its keyword (\"remove numeric\")\n"
    "  --x TEXT          the text to add or to remove\n"
    "  --y TEXT          the text before or after which x is added\n"
    "  --find TEXT       the text to find (find and replace)\n"
    "  --replace TEXT    the text to put in its place (find and replace)\n"
    "  --subfolders      add every folder beneath each FOLDER as well, deepest first\n"
    "  --apply           rename the folders on disk, first row to last, then print the paths\n"
    "                    where they are now\n"
    "  --journal FILE    with --apply, record the run in the new file FILE as it goes, so\n"
    "                    that --undo can put every folder back, even after a crash\n"
    "  --undo FILE       put back every folder the run recorded in FILE renamed, newest first\n"
    "                    (with --apply; without, only show it: each folder's path now, a TAB\n"
    "                    and the path it would get back)\n"
    "  --print0          end every path with a NUL byte instead of a TAB or a newline\n"
    "  --help            show this help and exit\n"
    "  --version         show the version and exit\n"
    "  --                end of options: every later argument is a FOLDER\n"
    "\n"
    "An answer that is not given is empty, as a cancelled prompt is; an operation that needs\n"
    "it then leaves every name unchanged. Without --apply each row is printed as its current\n"
    "path, a TAB and its new path (empty where the name would not change), one per line.\n"
    "\n"
    "Exit status: 0 success, 1 some folder could not be renamed (or put back), 2 usage error\n"
    "(an existing --journal FILE, an --undo FILE that is no sound journal included).\n"
    "\n"
    "Operations:\n";

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
    QString x, y, find, replace;
    bool subfolders = false;
    bool apply = false;
    bool print0 = false;
    std::optional<QByteArray> journal;  ///< --journal FILE, as bytes
    std::optional<QByteArray> undo;     ///< --undo FILE, as bytes
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

/// True when `path` names a folder, or a symbolic link to one.
bool IsFolder(const QByteArray& path) {
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

/// Parses the arguments. Returns an exit status when the run ends here (help, version or a
/// usage error, already reported), std::nullopt when `request` is ready.
std::optional<int> Parse(int argc, char** argv, Request& request, Output& out, Output& err) {
    const auto usageError = [&](const QByteArray& message) {
        err << "trellisane-cli: " << message << "\nTry 'trellisane-cli --help'.\n";
        return kExitUsage;
    };
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
        if (name == "--help" || name == "--version" || flag != nullptr) {
            if (inlineValue) return usageError("option '" + name + "' takes no value");
            if (name == "--help") {
                out << kUsage;
                for (const QString& text : CatalogueTexts()) out << "  " << text << '\n';
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
        if (file != nullptr) {
            if (inlineValue) {
                file->emplace(*inlineValue);
            } else if (i + 1 < argc) {
                file->emplace(argv[++i]);
            } else {
                return usageError("option '" + name + "' needs a value");
            }
            if ((*file)->isEmpty()) return usageError("option '" + name + "' needs a file name");
            continue;
        }

        QString* value = nullptr;
        if (name == "--operation") value = &request.operation.emplace();
        if (name == "--x") value = &request.x;
        if (name == "--y") value = &request.y;
        if (name == "--find") value = &request.find;
        if (name == "--replace") value = &request.replace;
        if (value == nullptr) return usageError("unknown option '" + name + "'");
        QByteArray bytes;
        if (inlineValue) {
            bytes = *inlineValue;
        } else if (i + 1 < argc) {
            bytes = QByteArray(argv[++i]);  // taken as it is, even when it starts with '-'
        } else {
            return usageError("option '" + name + "' needs a value");
        }
        // A text that is not UTF-8 cannot be carried into a name faithfully.
        const std::optional<QString> text = DecodeUtf8(bytes);
        if (!text) return usageError("the value of '" + name + "' is not valid UTF-8");
        *value = *text;
    }
    if (request.undo) {
        if (request.operation || request.journal || !request.folders.empty()) {
            return usageError("--undo takes no --operation, --journal or FOLDER");
        }
        return std::nullopt;
    }
    if (request.journal && !request.apply) return usageError("--journal needs --apply");
    if (!request.operation) return usageError("--operation is missing");
    if (request.folders.empty()) return usageError("no FOLDER given");
    return std::nullopt;
}

/// The answer to one prompt of `operation`: the option that fills the prompt's field. The
/// prompts of one operation have distinct texts, so the text tells which one is asked.
PromptFn AnswersFromRequest(Operation operation, const Request& request) {
    return [entry = EntryOf(operation), &request](const QString& promptText) {
        if (entry == nullptr) return QString();
        for (const Prompt& prompt : entry->prompts) {
            if (prompt.text != promptText) continue;
            switch (prompt.field) {
                case PromptField::X:
                    return request.x;
                case PromptField::Y:
                    return request.y;
                case PromptField::FindWhat:
                    return request.find;
                case PromptField::ReplaceWith:
                    return request.replace;
            }
        }
        return QString();
    };
}

int Run(int argc, char** argv, Output& out, Output& err) {
    Request request;
    if (const std::optional<int> status = Parse(argc, argv, request, out, err)) return *status;
    if (request.undo) {
        QByteArray shown;
        QByteArray problems;
        const int status = RunUndo(*request.undo, request.apply, request.print0, shown, problems);
        err << problems;
        out << shown;
        if (out.Flush()) return status;
        err << "trellisane-cli: cannot write the output\n";
        return kExitFailed;
    }

    const QString operationText = *request.operation;
    const Operation operation = MatchOperation(operationText);
    if (operation == Operation::OpNone) {
        err << "trellisane-cli: --operation '" << operationText
            << "' selects no operation; the entries are:\n";
        for (const QString& text : CatalogueTexts()) err << text << '\n';
        return kExitUsage;
    }

    // Every FOLDER is checked before anything is done.
    const std::optional<QByteArray> cwd = WorkingDirectory();
    std::vector<QString> rowPaths;
    for (const QByteArray& folder : request.folders) {
        if (!folder.startsWith('/') && !cwd) {
            err << "trellisane-cli: cannot read the working directory for '" << folder << "'\n";
            return kExitUsage;
        }
        const QByteArray path = RowPathOf(folder, cwd.value_or(QByteArray()));
        const std::optional<QString> text = DecodeUtf8(path);
        if (!text) {
            err << "trellisane-cli: the name of '" << folder << "' is not valid UTF-8\n";
            return kExitUsage;
        }
        if (folder.isEmpty() || !IsFolder(path)) {
            err << "trellisane-cli: '" << folder << "' is not an existing folder\n";
            return kExitUsage;
        }
        rowPaths.push_back(*text);
    }

    FolderList list;
    WalkHooks walkHooks;
    walkHooks.report = [&err](const QString& description, int line) {
        err << ErrorReportText(description, QString::fromUtf8(kWalkLocation), line) << '\n';
    };
    for (const QString& path : rowPaths) {
        QStringList batch{path};
        if (request.subfolders) GetSubDirectories2016(batch, true, walkHooks);
        list.AppendBatch(batch);
    }

    bool previewBusy = false;
    PreviewHooks previewHooks;
    previewHooks.selectorText = [&operationText] { return operationText; };
    previewHooks.ask = AnswersFromRequest(operation, request);
    previewHooks.enableStartRenaming = [] {};
    PreviewRename(previewBusy, list, previewHooks);

    const char fieldEnd = request.print0 ? '\0' : '\t';
    const char rowEnd = request.print0 ? '\0' : '\n';
    int status = kExitOk;
    if (request.apply) {
        QByteArray problem;
        const int journalStatus =
            ApplyWithJournal(list, request.journal, problem, [&](const RowOutcome& outcome) {
                err << "trellisane-cli: cannot rename '" << outcome.oldPath << "' to '"
                    << outcome.newPath << "': " << outcome.description << '\n';
                status = kExitFailed;
            });
        err << problem;
        if (journalStatus == kExitUsage) return kExitUsage;
        if (journalStatus != kExitOk) status = journalStatus;
        for (const FolderRow& row : list.Rows()) out << row.current << rowEnd;
    } else {
        for (const FolderRow& row : list.Rows()) {
            out << row.current << fieldEnd << row.newPath << rowEnd;
        }
    }
    if (!out.Flush()) {
        err << "trellisane-cli: cannot write the output\n";
        return kExitFailed;
    }
    return status;
}

}  // namespace

int RunCli(int argc, char** argv, std::FILE* out, std::FILE* err) {
    Output output(out);
    Output errors(err);
    try {
        return Run(argc, argv, output, errors);
    } catch (...) {
        errors << "trellisane-cli: " << DescribeException(std::current_exception()) << '\n';
        return kExitFailed;
    }
}

}  // namespace trellisane
