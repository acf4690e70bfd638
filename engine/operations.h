#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace trellisane {

/// The sixteen renaming operations, and OpNone for a text that selects none.
enum class Operation {
    OpNone,
    OpUpperCase,
    OpLowerCase,
    OpProperCase,
    OpSentenceCase,
    OpAddToBeginning,
    OpAddToEnd,
    OpAddBeforeEvery,
    OpAddAfterEvery,
    OpRemoveSpaces,
    OpRemoveBlankLines,
    OpRemoveAlphabet,
    OpRemoveNumeric,
    OpRemoveAlphanumeric,
    OpRemoveNonAlphanumeric,
    OpRemoveText,
    OpFindReplace,
};

/// The field of PromptAnswers that one prompt fills.
enum class PromptField { X, Y, FindWhat, ReplaceWith };

/// One question an operation asks before it runs.
struct Prompt {
    PromptField field;
    QString text;  ///< shown exactly, trailing blank included
};

/// The texts typed for an operation's prompts in one preview pass; empty when not asked or
/// cancelled.
struct PromptAnswers {
    QString x;
    QString y;
    QString findWhat;
    QString replaceWith;
};

/// The answer that fills `field`, for reading or writing. O(1).
QString& AnswerOf(PromptAnswers& answers, PromptField field);
const QString& AnswerOf(const PromptAnswers& answers, PromptField field);

/// The short name of a prompt field, as the command line spells its option without "--" and as
/// the window names an answer: "x", "y", "find", "replace".
QString FieldName(PromptField field);

/// One row of the operation selector.
struct CatalogueEntry {
    QString displayText;
    Operation operation;          ///< OpNone for the "-" separator rows
    QString keyword;              ///< "" for separator rows
    std::vector<Prompt> prompts;  ///< in the order asked
};

/// The twenty selector rows, in display order (rows 5, 10, 13 and 19 are "-"). Constant.
const std::vector<CatalogueEntry>& Catalogue();

/// The twenty display texts, in display order.
QStringList CatalogueTexts();

/// The catalogue entry of an operation (never a separator); OpNone gives nullptr.
const CatalogueEntry* EntryOf(Operation operation);

/// The operation that a selector text selects: the first keyword, in the fixed test order,
/// contained in the lower-cased text; OpNone when none is. O(len(text)).
Operation MatchOperation(const QString& selectorText);

/// Asks one prompt and returns the typed text unchanged; Cancel returns "".
using PromptFn = std::function<QString(const QString& promptText)>;

/// Asks the operation's prompts in catalogue order, each exactly once (the second even when
/// the first was cancelled); an operation without prompts returns empty answers at once.
PromptAnswers AskPrompts(Operation operation, const PromptFn& ask);

}  // namespace trellisane
