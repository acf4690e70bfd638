#include "engine/operation_help.h"

#include <QStringList>
#include <array>

#include "engine/transform.h"

namespace trellisane {

namespace {

/// One operation's help: what it does, the example's name and answers, and what it asks
/// (nullptr for an operation without prompts).
struct Help {
    Operation operation;
    const char* does;
    const char* exampleName;
    PromptAnswers exampleAnswers;
    const char* asks;
};

const Help* HelpOf(Operation operation) {
    using enum Operation;
    static const std::array<Help, 16> kHelp{{
        {OpUpperCase,
         "Writes every letter of each folder's name in upper case.",
         "Summer Trip",
         {},
         nullptr},
        {OpLowerCase,
         "Writes every letter of each folder's name in lower case.",
         "Summer Trip",
         {},
         nullptr},
        {OpProperCase,
         "Writes the first letter of every word of each folder's name in upper case and the rest "
         "in lower case.",
         "summer TRIP",
         {},
         nullptr},
        {OpSentenceCase,
         "Writes the first letter of each folder's name in upper case and the rest in lower case.",
         "summer TRIP",
         {},
         nullptr},
        {OpAddToBeginning,
         "Adds x at the beginning of each folder's name.",
         "Photos",
         {QStringLiteral("Old "), {}, {}, {}},
         "x is the text to add; you are asked for it."},
        {OpAddToEnd,
         "Adds x at the end of each folder's name.",
         "Photos",
         {QStringLiteral("_old"), {}, {}, {}},
         "x is the text to add; you are asked for it."},
        {OpAddBeforeEvery,
         "Adds x before every y in each folder's name.",
         "a-b-c",
         {QStringLiteral("_"), QStringLiteral("-"), {}, {}},
         "y is the text to look for and x the text to add; you are asked for y, then for x."},
        {OpAddAfterEvery,
         "Adds x after every y in each folder's name.",
         "a-b-c",
         {QStringLiteral("_"), QStringLiteral("-"), {}, {}},
         "y is the text to look for and x the text to add; you are asked for y, then for x."},
        {OpRemoveSpaces,
         "Removes every blank from each folder's name.",
         "My Summer Trip",
         {},
         nullptr},
        {OpRemoveBlankLines,
         "Removes the empty lines from names that hold line breaks: two line breaks in a row "
         "become one.",
         "Notes\r\n\r\n2020",
         {},
         nullptr},
        {OpRemoveAlphabet,
         "Removes the letters A to Z and a to z from each folder's name.",
         "Trip2019",
         {},
         nullptr},
        {OpRemoveNumeric,
         "Removes the digits 0 to 9 from each folder's name.",
         "Photos2019",
         {},
         nullptr},
        {OpRemoveAlphanumeric,
         "Removes the letters A to Z and a to z and the digits 0 to 9 from each folder's name.",
         "Trip2019 (1)",
         {},
         nullptr},
        {OpRemoveNonAlphanumeric,
         "Keeps only the letters A to Z and a to z, the digits 0 to 9, blanks and line breaks in "
         "each folder's name.",
         "Trip (2019)!",
         {},
         nullptr},
        {OpRemoveText,
         "Removes every x from each folder's name.",
         "Report_copy",
         {QStringLiteral("_copy"), {}, {}, {}},
         "x is the text to remove; you are asked for it."},
        {OpFindReplace,
         "Replaces every occurrence of one text with another in each folder's name.",
         "My Photos",
         {{}, {}, QStringLiteral(" "), QStringLiteral("_")},
         "You are asked for the text to find, then for the text to put in its place; if either "
         "is left empty, no name changes."},
    }};
    for (const Help& help : kHelp) {
        if (help.operation == operation) return &help;
    }
    return nullptr;
}

/// The sign that stands for a line break (CR LF) in an example.
constexpr char16_t kLineBreakSign = u'\u23CE';

QString Quoted(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QChar(kLineBreakSign));
    return u'"' + shown + u'"';
}

/// "x = "_old", y = "-"": the answers to the operation's prompts, in the order asked.
QString AnswersText(Operation operation, const PromptAnswers& answers) {
    QStringList parts;
    if (const CatalogueEntry* entry = EntryOf(operation)) {
        for (const Prompt& prompt : entry->prompts) {
            parts << FieldName(prompt.field) + QStringLiteral(" = ") +
                         Quoted(AnswerOf(answers, prompt.field));
        }
    }
    return parts.join(QStringLiteral(", "));
}

}  // namespace

QString OperationHelp(Operation operation) {
    const Help* help = HelpOf(operation);
    if (help == nullptr) return QStringLiteral("A separator: picking it changes no name.");
    QString text = QString::fromUtf8(help->does);
    {
        const QString name = QString::fromUtf8(help->exampleName);
        const QString result = TransformName(name, operation, help->exampleAnswers).value_or(name);
        const QString with = AnswersText(operation, help->exampleAnswers);
        text +=
            QStringLiteral("\nExample: ") +
            (with.isEmpty() ? QString() : QStringLiteral("with ") + with + QStringLiteral(", ")) +
            Quoted(name) + QStringLiteral(" becomes ") + Quoted(result) + u'.';
        if (name.contains(u'\n')) {
            text += QStringLiteral(" (") + QChar(kLineBreakSign) +
                    QStringLiteral(" stands for a line break.)");
        }
    }
    if (help->asks != nullptr) text += u'\n' + QString::fromUtf8(help->asks);
    return text;
}

QString DescribePass(Operation operation, const PromptAnswers& answers) {
    const CatalogueEntry* entry = EntryOf(operation);
    if (entry == nullptr) return QString();
    const QString with = AnswersText(operation, answers);
    return Quoted(entry->displayText) +
           (with.isEmpty() ? QString() : QStringLiteral(" with ") + with);
}

}  // namespace trellisane
