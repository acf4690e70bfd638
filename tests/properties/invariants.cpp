#include "tests/properties/invariants.h"

#include <cerrno>
#include <map>
#include <optional>
#include <sstream>

#include "engine/text_case.h"
#include "engine/text_helpers.h"
#include "engine/transform.h"
#include "folders/folder_list.h"

namespace trellisane::testing {

namespace {

/// A text as its UTF-16 units in hex, so that lone surrogates and NULs survive a report.
std::string Units(QStringView text) {
    std::ostringstream out;
    out << '[';
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i > 0) out << ' ';
        out << std::hex << static_cast<unsigned>(text[i].unicode());
    }
    out << ']';
    return out.str();
}

/// True when `small` is `big` with some characters left out (order kept).
bool IsSubsequence(QStringView small, QStringView big) {
    qsizetype at = 0;
    for (QChar c : big) {
        if (at < small.size() && small[at] == c) ++at;
    }
    return at == small.size();
}

bool IsAsciiLetter(QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }
bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

/// Whether the operation's answer rules make it no-change for these answers.
bool ExpectsNoChange(Operation operation, const PromptAnswers& a) {
    switch (operation) {
        case Operation::OpNone:
            return true;
        case Operation::OpAddToBeginning:
        case Operation::OpAddToEnd:
        case Operation::OpRemoveText:
            return a.x.isEmpty();
        case Operation::OpAddBeforeEvery:
        case Operation::OpAddAfterEvery:
            return a.x.isEmpty() || a.y.isEmpty();
        case Operation::OpFindReplace:
            return a.findWhat.isEmpty() || a.replaceWith.isEmpty();
        default:
            return false;
    }
}

bool IsCaseChange(Operation operation) {
    return operation == Operation::OpUpperCase || operation == Operation::OpLowerCase ||
           operation == Operation::OpProperCase || operation == Operation::OpSentenceCase;
}

bool IsClassRemoval(Operation operation) {
    return operation == Operation::OpRemoveAlphabet || operation == Operation::OpRemoveNumeric ||
           operation == Operation::OpRemoveAlphanumeric ||
           operation == Operation::OpRemoveNonAlphanumeric;
}

/// Whether `c` may stay after a character-class removal.
bool SurvivesClassRemoval(Operation operation, QChar c) {
    switch (operation) {
        case Operation::OpRemoveAlphabet:
            return !IsAsciiLetter(c);
        case Operation::OpRemoveNumeric:
            return !IsAsciiDigit(c);
        case Operation::OpRemoveAlphanumeric:
            return !IsAsciiLetter(c) && !IsAsciiDigit(c);
        case Operation::OpRemoveNonAlphanumeric:
            return IsAsciiLetter(c) || IsAsciiDigit(c) || c == u' ' || c == u'\r' || c == u'\n' ||
                   c == u'\t';
        default:
            return true;
    }
}

constexpr Operation kAllOperations[] = {
    Operation::OpNone,          Operation::OpUpperCase,          Operation::OpLowerCase,
    Operation::OpProperCase,    Operation::OpSentenceCase,       Operation::OpAddToBeginning,
    Operation::OpAddToEnd,      Operation::OpAddBeforeEvery,     Operation::OpAddAfterEvery,
    Operation::OpRemoveSpaces,  Operation::OpRemoveBlankLines,   Operation::OpRemoveAlphabet,
    Operation::OpRemoveNumeric, Operation::OpRemoveAlphanumeric, Operation::OpRemoveNonAlphanumeric,
    Operation::OpRemoveText,    Operation::OpFindReplace,
};

/// The invariants of one operation on one name; "" when they hold.
std::string CheckName(const QString& name, Operation operation, const PromptAnswers& answers) {
    const std::optional<QString> result = TransformName(name, operation, answers);
    const std::string where =
        "operation " + std::to_string(static_cast<int>(operation)) + " on " + Units(name);
    if (result.has_value() == ExpectsNoChange(operation, answers)) {
        return where + ": no-change rule broken";
    }
    if (!result) return {};
    const QString& out = *result;

    if (IsCaseChange(operation) && out.size() != name.size()) {
        return where + ": a case change altered the length, giving " + Units(out);
    }
    const bool removes = IsClassRemoval(operation) || operation == Operation::OpRemoveSpaces ||
                         operation == Operation::OpRemoveBlankLines ||
                         operation == Operation::OpRemoveText;
    if (removes && !IsSubsequence(out, name)) {
        return where + ": a removal added or changed characters, giving " + Units(out);
    }
    if (IsClassRemoval(operation)) {
        for (QChar c : out) {
            if (!SurvivesClassRemoval(operation, c)) {
                return where + ": a character of the removed class stayed in " + Units(out);
            }
        }
    }
    if (operation == Operation::OpRemoveSpaces && out.contains(u' ')) {
        return where + ": a blank stayed in " + Units(out);
    }
    const bool adds =
        operation == Operation::OpAddToBeginning || operation == Operation::OpAddToEnd ||
        operation == Operation::OpAddBeforeEvery || operation == Operation::OpAddAfterEvery;
    if (adds && (!IsSubsequence(name, out) || (out.size() - name.size()) % answers.x.size() != 0)) {
        return where + ": an addition did more than add copies of x, giving " + Units(out);
    }
    if (operation == Operation::OpFindReplace && answers.findWhat == answers.replaceWith &&
        out != name) {
        return where + ": replacing a text by itself changed the name to " + Units(out);
    }
    if (IsCaseChange(operation) || IsClassRemoval(operation) ||
        operation == Operation::OpRemoveSpaces) {
        const std::optional<QString> again = TransformName(out, operation, answers);
        if (!again || *again != out) {
            return where + ": a second pass changed " + Units(out) + " to " +
                   (again ? Units(*again) : std::string("no-change"));
        }
    }
    return {};
}

/// The invariants of BuildNewPath for one operation; "" when they hold.
std::string CheckPath(const QString& path, Operation operation, const PromptAnswers& answers) {
    const QChar separator = kPathSeparator;
    const QString shortened = path.endsWith(separator) ? path.chopped(1) : path;
    const qsizetype cut = shortened.lastIndexOf(separator) + 1;
    const QString parent = shortened.left(cut);
    const QString name = shortened.mid(cut);
    const std::optional<QString> built = BuildNewPath(path, operation, answers);
    const std::optional<QString> transformed = TransformName(name, operation, answers);
    const std::string where =
        "operation " + std::to_string(static_cast<int>(operation)) + " on path " + Units(path);
    if (built.has_value() != transformed.has_value()) {
        return where + ": BuildNewPath and TransformName disagree on no-change";
    }
    if (!built) return {};
    if (!built->startsWith(parent)) return where + ": the parent part changed: " + Units(*built);
    if (*built != parent + *transformed + separator) {
        return where + ": not the parent part, the new name and one separator: " + Units(*built);
    }
    return {};
}

// --- The modelled disk ----------------------------------------------------------------------

QString WithSeparator(const QString& path) {
    return path.isEmpty() || path.endsWith(u'/') ? path : path + u'/';
}

QString LastName(const QString& path) {
    const QString shortened = path.endsWith(u'/') ? path.chopped(1) : path;
    return shortened.mid(shortened.lastIndexOf(u'/') + 1);
}

/// Folders by path (ending with '/'), each with an identity that follows it through renames.
/// The root "/" always exists and is not listed.
class ModelDisk {
  public:
    void Make(const QString& path) {
        for (qsizetype at = path.indexOf(u'/', 1); at >= 0; at = path.indexOf(u'/', at + 1)) {
            const QString folder = path.left(at + 1);
            if (!m_ids.contains(folder)) m_ids.emplace(folder, m_next++);
        }
    }
    bool Exists(const QString& path) const { return path == u"/" || m_ids.contains(path); }
    std::optional<int> IdAt(const QString& path) const {
        auto it = m_ids.find(path);
        if (it == m_ids.end()) return std::nullopt;
        return it->second;
    }
    std::optional<QString> WhereIs(int id) const {
        for (const auto& [path, known] : m_ids) {
            if (known == id) return path;
        }
        return std::nullopt;
    }
    std::size_t Count() const { return m_ids.size(); }

    /// rename(2) of a folder with the no-replace flag, as Linux answers it.
    int Rename(const QString& fromPath, const QString& toPath) {
        const QString from = fromPath + u'/';
        const QString to = toPath + u'/';
        if (!m_ids.contains(from)) return ENOENT;
        if (!Exists(to.left(to.lastIndexOf(u'/', -2) + 1))) return ENOENT;
        if (m_ids.contains(to)) return EEXIST;
        if (to.startsWith(from)) return EINVAL;
        std::map<QString, int> moved;
        for (auto it = m_ids.begin(); it != m_ids.end();) {
            if (it->first.startsWith(from)) {
                moved.emplace(to + it->first.mid(from.size()), it->second);
                it = m_ids.erase(it);
            } else {
                ++it;
            }
        }
        m_ids.merge(moved);
        return 0;
    }

  private:
    std::map<QString, int> m_ids;
    int m_next = 1;
};

/// The plain model of carrying one path through moves, in order.
QString CarryOne(const QString& path, const std::vector<PathMove>& moves) {
    const bool withSeparator = path.endsWith(u'/');
    QString now = WithSeparator(path);
    for (const PathMove& move : moves) {
        if (move.from.isEmpty()) continue;
        const QString from = WithSeparator(move.from);
        if (now.startsWith(from)) now = WithSeparator(move.to) + now.mid(from.size());
    }
    if (withSeparator || path.isEmpty() || now.isEmpty()) return now;
    return now.chopped(1);
}

// --- Reading inputs from bytes --------------------------------------------------------------

class ByteReader {
  public:
    ByteReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool AtEnd() const { return m_at >= m_size; }
    std::uint8_t Next() { return AtEnd() ? 0 : m_data[m_at++]; }

  private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

constexpr char16_t kSpecial[] = {
    u'a',      u'b',      u'Z',      u'0',      u'9',      u' ',      u'\r',     u'\n',
    u'\t',     u'/',      u'\\',     u'.',      u'-',      u'_',      u'?',      u'|',
    u'\0',     u'\u00df', u'\u0130', u'\u01c5', u'\u03a3', u'\u03c2', u'\u0345', u'\u1f80',
    u'\u00e9', u'\u00c9', u'\ufffd', u'\u212a', 0xd83d,    0xde00,    0xdbff,    0xdc00,
    u'\u017f', u'\u0131', u'i',      u'I',
};

QString ReadField(ByteReader& in) {
    QString text;
    while (!in.AtEnd()) {
        const std::uint8_t b = in.Next();
        if (b == 0xff) break;
        if (b >= 0xc0) {
            const auto high = static_cast<char16_t>(in.Next() << 8);
            text += QChar(static_cast<char16_t>(high | in.Next()));
        } else {
            text += QChar(kSpecial[b % std::size(kSpecial)]);
        }
    }
    return text;
}

constexpr const char16_t* kNames[] = {u"a", u"b", u"ab", u"c"};

QString ReadPath(ByteReader& in) {
    const std::uint8_t b = in.Next();
    QString path = QStringLiteral("/r/");
    const int depth = 1 + b % 3;
    for (int i = 0; i < depth; ++i) {
        path += QString::fromUtf16(kNames[(b >> (2 + 2 * i)) % 4]) + u'/';
    }
    return path;
}

}  // namespace

std::string CheckEngineInvariants(const QString& selectorText, const PromptAnswers& answers,
                                  const QString& path) {
    const Operation matched = MatchOperation(selectorText);
    if (matched != Operation::OpNone) {
        const CatalogueEntry* entry = EntryOf(matched);
        if (entry == nullptr || !LowerCase(selectorText).contains(entry->keyword)) {
            return "MatchOperation chose an operation whose keyword is not in " +
                   Units(selectorText);
        }
    }
    const QString name = GetFolderName(path.endsWith(kPathSeparator) ? path.chopped(1) : path);
    for (Operation operation : kAllOperations) {
        std::string broken = CheckName(name, operation, answers);
        if (broken.empty()) broken = CheckName(selectorText, operation, answers);
        if (broken.empty()) broken = CheckPath(path, operation, answers);
        if (!broken.empty()) return broken;
    }
    return {};
}

std::string CheckCarryInvariants(const QStringList& paths, const std::vector<PathMove>& moves) {
    QStringList carried = paths;
    CarryThroughMoves(carried, moves);
    if (carried.size() != paths.size()) return "CarryThroughMoves changed the number of paths";
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString expected = CarryOne(paths[i], moves);
        if (carried[i] != expected) {
            return "CarryThroughMoves carried " + paths[i].toStdString() + " to " +
                   carried[i].toStdString() + ", the model to " + expected.toStdString();
        }
    }
    return {};
}

std::string CheckRunInvariants(const std::vector<QString>& folders,
                               const std::vector<ModelRow>& rows) {
    ModelDisk disk;
    for (const QString& folder : folders) disk.Make(folder);
    const std::size_t foldersBefore = disk.Count();

    FolderList list;
    QStringList currents;
    for (const ModelRow& row : rows) currents << row.current;
    list.AppendInOrder(currents);
    std::vector<std::optional<int>> ids;
    for (qsizetype position = 1; position <= list.Count(); ++position) {
        list.SetNewPath(position, rows[static_cast<std::size_t>(position - 1)].newPath);
        ids.push_back(disk.IdAt(WithSeparator(list.Row(position).current)));
    }

    // The folders the platform renamed, in order: one per row that renamed its folder.
    std::vector<int> renamedIds;
    RenamePlatform platform;
    platform.renameNoReplace = [&disk, &renamedIds](const QString& from, const QString& to) {
        const std::optional<int> id = disk.IdAt(from + u'/');
        const int error = disk.Rename(from, to);
        if (error == 0) renamedIds.push_back(*id);
        return error;
    };
    platform.sameEntry = [&disk](const QString& a, const QString& b) {
        return a == b && disk.Exists(WithSeparator(a));
    };
    const RenameRun run = ApplyRenames(list, {}, platform);

    if (run.outcomes.size() != rows.size()) return "not one outcome per row";
    if (disk.Count() != foldersBefore) return "the run lost or made folders";
    std::map<int, std::size_t> lastRenamedBy;  // folder -> the row that renamed it last
    std::size_t renamed = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto position = static_cast<qsizetype>(i) + 1;
        const RowOutcome& outcome = run.outcomes[i];
        const QString& now = list.Row(position).current;
        const std::string row = "row " + std::to_string(position) + " (" +
                                rows[i].current.toStdString() + " to " +
                                rows[i].newPath.toStdString() + ")";
        if (!list.Row(position).newPath.isEmpty()) return row + ": a new path was left behind";
        if (!outcome.ok() && outcome.Report().isEmpty()) return row + ": failed without a reason";
        const QString expected = CarryOne(rows[i].current, run.moves);
        if (now != expected) {
            return row + ": shows " + now.toStdString() + ", carried through the moves it is " +
                   expected.toStdString();
        }
        if (ids[i]) {
            const std::optional<QString> where = disk.WhereIs(*ids[i]);
            if (!where || *where != WithSeparator(now)) {
                return row + ": shows " + now.toStdString() + " but its folder is at " +
                       where.value_or(QString()).toStdString();
            }
        }
        const bool changed = WithSeparator(outcome.newPath) != WithSeparator(outcome.oldPath);
        if (outcome.ok() && changed) {
            if (renamed >= renamedIds.size()) return row + ": succeeded without renaming";
            lastRenamedBy[renamedIds[renamed++]] = i;
        }
    }
    if (renamed != renamedIds.size()) return "a folder was renamed for a row that failed";
    for (const auto& [id, i] : lastRenamedBy) {
        const QString now = list.Row(static_cast<qsizetype>(i) + 1).current;
        if (LastName(now) != LastName(run.outcomes[i].newPath)) {
            return "row " + std::to_string(i + 1) + " renamed its folder, yet it shows " +
                   now.toStdString();
        }
    }
    if (run.moves.size() != renamed) return "not one move per folder renamed";

    QStringList paths;
    for (const ModelRow& row : rows) paths << row.current << row.current.chopped(1);
    return CheckCarryInvariants(paths, run.moves);
}

EngineInput EngineInputFromBytes(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    EngineInput input;
    input.selectorText = ReadField(in);
    input.answers.x = ReadField(in);
    input.answers.y = ReadField(in);
    input.answers.findWhat = ReadField(in);
    input.answers.replaceWith = ReadField(in);
    input.path = ReadField(in);
    return input;
}

RunInput RunInputFromBytes(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    RunInput input;
    const int folders = in.Next() % 8;
    for (int i = 0; i < folders; ++i) input.folders.push_back(ReadPath(in));
    const int rows = in.Next() % 8;
    for (int i = 0; i < rows; ++i) {
        ModelRow row;
        row.current = ReadPath(in);
        const QString parent = row.current.left(row.current.lastIndexOf(u'/', -2) + 1);
        const std::uint8_t kind = in.Next();
        switch (kind % 6) {
            case 0:  // never previewed
                break;
            case 1:  // unchanged
                row.newPath = row.current;
                break;
            case 2:  // an emptied name
                row.newPath = parent + u'/';
                break;
            case 3:  // into another folder: refused before the disk
                row.newPath = ReadPath(in);
                break;
            default:  // a new name in the same parent
                row.newPath = parent + QString::fromUtf16(kNames[(kind >> 3) % 4]) +
                              QString::fromUtf16(kNames[(kind >> 5) % 4]) + u'/';
                break;
        }
        input.rows.push_back(row);
    }
    const int paths = in.Next() % 6;
    for (int i = 0; i < paths; ++i) {
        const std::uint8_t form = in.Next();
        QString path = form % 4 == 0 ? QString() : ReadPath(in);
        if (form % 3 == 0) path.chop(1);
        input.carryPaths << path;
    }
    const int moves = in.Next() % 5;
    for (int i = 0; i < moves; ++i) {
        const std::uint8_t form = in.Next();
        PathMove move{form % 5 == 0 ? QString() : ReadPath(in), ReadPath(in)};
        if (form % 2 == 0) move.from.chop(1);
        if (form % 7 == 0) move.to.chop(1);
        input.carryMoves.push_back(move);
    }
    return input;
}

}  // namespace trellisane::testing
