#include "engine/operations.h"

#include <algorithm>
#include <array>
#include <utility>

#include "engine/text_case.h"

namespace trellisane {

namespace {

CatalogueEntry Separator() { return {QStringLiteral("-"), Operation::OpNone, QString(), {}}; }

CatalogueEntry Entry(const char* text, Operation operation, const char* keyword,
                     std::vector<Prompt> prompts = {}) {
    return {QString::fromUtf8(text), operation, QString::fromUtf8(keyword), std::move(prompts)};
}

std::vector<CatalogueEntry> BuildCatalogue() {
    using enum Operation;
    const Prompt addX{PromptField::X,
                      QStringLiteral(QT_TRANSLATE_NOOP("Trellisane", "Enter text to add: "))};
    const Prompt addXSecond{
        PromptField::X, QStringLiteral(QT_TRANSLATE_NOOP("Trellisane", "Enter text to add (x): "))};
    return {
        Entry(QT_TRANSLATE_NOOP("Trellisane", "Change case of folder(s) to UPPER CASE"),
              OpUpperCase, "upper case"),
        Entry(QT_TRANSLATE_NOOP("Trellisane", "Change case of folder(s) to lower case"),
              OpLowerCase, "lower case"),
        Entry(QT_TRANSLATE_NOOP("Trellisane", "Change case of folder(s) to Proper Case"),
              OpProperCase, "proper case"),
        Entry(QT_TRANSLATE_NOOP("Trellisane", "Change case of folder(s) to Sentence case"),
              OpSentenceCase, "sentence case"),
        Separator(),
        Entry(QT_TRANSLATE_NOOP("Trellisane", "Add x to beginning of each in folder(s)"),
              OpAddToBeginning, "add x to beginning", {addX}),
        Entry(QT_TRANSLATE_NOOP("Trellisane", "Add x to end of each in folder(s)"), OpAddToEnd,
              "add x to end", {addX}),
        Entry(QT_TRANSLATE_NOOP("Trellisane", "Add x before every y character(s) in folder(s)"),
              OpAddBeforeEvery, "add x before every y",
              {{PromptField::Y,
                QStringLiteral(QT_TRANSLATE_NOOP("Trellisane", "Enter before text (y): "))},
               addXSecond}),
        Entry(QT_TRANSLATE_NOOP("Trellisane", "Add x after every y character(s) in folder(s)"),
              OpAddAfterEvery, "add x after every y",
              {{PromptField::Y,
                QStringLiteral(QT_TRANSLATE_NOOP("Trellisane", "Enter after text (y): "))},
               addXSecond}),
        Separator(),
        Entry(QT_TRANSLATE_NOOP("Trellisane", "Remove all spaces in folder(s)"), OpRemoveSpaces,
              "remove all spaces"),
        Entry(QT_TRANSLATE_NOOP("Trellisane", "Remove all blank lines (enters) in folder(s)"),
              OpRemoveBlankLines, "remove all blank lines"),
        Separator(),
        Entry(QT_TRANSLATE_NOOP("Trellisane", "Remove alphabet character(s) in folder(s)"),
              OpRemoveAlphabet, "remove alphabet"),
        Entry(QT_TRANSLATE_NOOP("Trellisane", "Remove numeric character(s) in folder(s)"),
              OpRemoveNumeric, "remove numeric"),
        Entry(QT_TRANSLATE_NOOP("Trellisane", "Remove alphanumeric character(s) in folder(s)"),
              OpRemoveAlphanumeric, "remove alphanumeric"),
        Entry(QT_TRANSLATE_NOOP("Trellisane", "Remove non-alphanumeric character(s) in folder(s)"),
              OpRemoveNonAlphanumeric, "remove non-alphanumeric"),
        Entry(QT_TRANSLATE_NOOP("Trellisane", "Remove x (user-specified) in folder(s)"),
              OpRemoveText, "remove x",
              {{PromptField::X,
                QStringLiteral(QT_TRANSLATE_NOOP(
                    "Trellisane", "Please enter characters you would like to remove:"))}}),
        Separator(),
        Entry(
            QT_TRANSLATE_NOOP("Trellisane",
                              "Find and replace x (user-specified) character(s) in folder(s)"),
            OpFindReplace, "find and replace",
            {{PromptField::FindWhat, QStringLiteral(QT_TRANSLATE_NOOP("Trellisane", "Find What:"))},
             {PromptField::ReplaceWith,
              QStringLiteral(QT_TRANSLATE_NOOP("Trellisane", "Replace With:"))}}),
    };
}

/// The order in which the keywords are tried; it differs from the display order, and decides
/// for a text that holds more than one keyword.
constexpr std::array kMatchOrder{
    Operation::OpUpperCase,          Operation::OpLowerCase,
    Operation::OpProperCase,         Operation::OpSentenceCase,
    Operation::OpRemoveSpaces,       Operation::OpRemoveBlankLines,
    Operation::OpRemoveAlphabet,     Operation::OpRemoveNumeric,
    Operation::OpRemoveAlphanumeric, Operation::OpRemoveNonAlphanumeric,
    Operation::OpRemoveText,         Operation::OpFindReplace,
    Operation::OpAddToBeginning,     Operation::OpAddToEnd,
    Operation::OpAddBeforeEvery,     Operation::OpAddAfterEvery,
};

}  // namespace

QString& AnswerOf(PromptAnswers& answers, PromptField field) {
    switch (field) {
        case PromptField::X:
            return answers.x;
        case PromptField::Y:
            return answers.y;
        case PromptField::FindWhat:
            return answers.findWhat;
        case PromptField::ReplaceWith:
            return answers.replaceWith;
    }
    return answers.x;
}

const QString& AnswerOf(const PromptAnswers& answers, PromptField field) {
    return AnswerOf(const_cast<PromptAnswers&>(answers), field);
}

QString FieldName(PromptField field) {
    switch (field) {
        case PromptField::X:
            return QStringLiteral("x");
        case PromptField::Y:
            return QStringLiteral("y");
        case PromptField::FindWhat:
            return QStringLiteral("find");
        case PromptField::ReplaceWith:
            return QStringLiteral("replace");
    }
    return QString();
}

const std::vector<CatalogueEntry>& Catalogue() {
    static const std::vector<CatalogueEntry> catalogue = BuildCatalogue();
    return catalogue;
}

QStringList CatalogueTexts() {
    QStringList texts;
    for (const CatalogueEntry& entry : Catalogue()) texts << entry.displayText;
    return texts;
}

const CatalogueEntry* EntryOf(Operation operation) {
    if (operation == Operation::OpNone) return nullptr;
    const auto& catalogue = Catalogue();
    const auto found = std::find_if(catalogue.begin(), catalogue.end(), [&](const auto& entry) {
        return entry.operation == operation;
    });
    return found == catalogue.end() ? nullptr : &*found;
}

Operation MatchOperation(const QString& selectorText) {
    const QString lowered = LowerCase(selectorText);
    for (Operation operation : kMatchOrder) {
        if (lowered.contains(EntryOf(operation)->keyword, Qt::CaseSensitive)) return operation;
    }
    return Operation::OpNone;
}

PromptAnswers AskPrompts(Operation operation, const PromptFn& ask) {
    PromptAnswers answers;
    const CatalogueEntry* entry = EntryOf(operation);
    if (entry == nullptr) return answers;
    for (const Prompt& prompt : entry->prompts) {
        AnswerOf(answers, prompt.field) = ask ? ask(prompt.text) : QString();
    }
    return answers;
}

}  // namespace trellisane
