#include "engine/transform.h"

#include "engine/characters.h"
#include "engine/text_case.h"

namespace trellisane {

namespace {

constexpr char16_t kLetters[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr char16_t kDigits[] = u"0123456789";
constexpr char16_t kAlphanumerics[] =
    u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// Letters, digits, the blank, CR, LF and TAB: what "remove non-alphanumeric" keeps.
constexpr char16_t kAlphanumericsAndSpacing[] =
    u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 \r\n\t";

/// Scans `text` from its start; where `searched` occurs, emits `replacement(searched)` and goes
/// on right after the occurrence, so occurrences never overlap, the leftmost wins and inserted
/// text is never searched again. `searched` must not be empty. A match is only taken on whole
/// characters: it never starts or ends inside a surrogate pair.
QString ReplaceEvery(QStringView text, QStringView searched, QStringView replacement) {
    QString result;
    result.reserve(text.size());
    qsizetype from = 0;
    qsizetype copied = 0;
    while (from <= text.size() - searched.size()) {
        const qsizetype found = text.indexOf(searched, from);
        if (found < 0) break;
        if (SplitsPair(text, found) || SplitsPair(text, found + searched.size())) {
            from = found + 1;
            continue;
        }
        result.append(text.mid(copied, found - copied));
        result.append(replacement);
        from = copied = found + searched.size();
    }
    result.append(text.mid(copied));
    return result;
}

}  // namespace

std::optional<QString> TransformName(const QString& name, Operation operation,
                                     const PromptAnswers& answers) {
    const QString& x = answers.x;
    const QString& y = answers.y;
    switch (operation) {
        case Operation::OpUpperCase:
            return UpperCase(name);
        case Operation::OpLowerCase:
            return LowerCase(name);
        case Operation::OpProperCase:
            return ProperCase(name);
        case Operation::OpSentenceCase:
            return SentenceCase(name);
        case Operation::OpAddToBeginning:
            if (x.isEmpty()) return std::nullopt;
            return x + name;
        case Operation::OpAddToEnd:
            if (x.isEmpty()) return std::nullopt;
            return name + x;
        case Operation::OpAddBeforeEvery:
            if (y.isEmpty() || x.isEmpty()) return std::nullopt;
            return ReplaceEvery(name, y, x + y);
        case Operation::OpAddAfterEvery:
            if (y.isEmpty() || x.isEmpty()) return std::nullopt;
            return ReplaceEvery(name, y, y + x);
        case Operation::OpRemoveSpaces:
            return ReplaceEvery(name, u" ", {});
        case Operation::OpRemoveBlankLines:
            return ReplaceEvery(name, u"\r\n\r\n", u"\r\n");
        case Operation::OpRemoveAlphabet:
            return KeepOrRemoveChars(name, QString::fromUtf16(kLetters), false);
        case Operation::OpRemoveNumeric:
            return KeepOrRemoveChars(name, QString::fromUtf16(kDigits), false);
        case Operation::OpRemoveAlphanumeric:
            return KeepOrRemoveChars(name, QString::fromUtf16(kAlphanumerics), false);
        case Operation::OpRemoveNonAlphanumeric:
            return KeepOrRemoveChars(name, QString::fromUtf16(kAlphanumericsAndSpacing), true);
        case Operation::OpRemoveText:
            if (x.isEmpty()) return std::nullopt;
            return ReplaceEvery(name, x, {});
        case Operation::OpFindReplace:
            // An empty replacement never deletes: removing is what OpRemoveText is for.
            if (answers.findWhat.isEmpty() || answers.replaceWith.isEmpty()) return std::nullopt;
            return ReplaceEvery(name, answers.findWhat, answers.replaceWith);
        case Operation::OpNone:
            break;
    }
    return std::nullopt;
}

std::optional<QString> BuildNewPath(const QString& path, Operation operation,
                                    const PromptAnswers& answers, QChar separator) {
    // One trailing separator goes; any further one stays and makes the name empty.
    const QString shortened = path.endsWith(separator) ? path.chopped(1) : path;
    std::optional<QString> name =
        TransformName(GetFolderName(shortened, separator), operation, answers);
    if (!name) return std::nullopt;
    return GetParentPath(shortened, separator) + *name + separator;
}

}  // namespace trellisane
