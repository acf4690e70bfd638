#include "engine/operation_help.h"

#include <QStringList>
#include <array>

#include "engine/transform.h"
#include "shell/texts.h"

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
         QT_TRANSLATE_NOOP("Trellisane",
                           "Writes every letter of each folder's name in upper case."),
         "Summer Trip",
         {},
         nullptr},
        {OpLowerCase,
         QT_TRANSLATE_NOOP("Trellisane",
                           "Writes every letter of each folder's name in lower case."),
         "Summer Trip",
         {},
         nullptr},
        {OpProperCase,
         QT_TRANSLATE_NOOP("Trellisane",
                           "Writes the first letter of every word of each folder's name in upper "
                           "case and the rest "
                           "in lower case."),
         "summer TRIP",
         {},
         nullptr},
        {OpSentenceCase,
         QT_TRANSLATE_NOOP("Trellisane",
                           "Writes the first letter of each folder's name in upper case and the "
                           "rest in lower case."),
         "summer TRIP",
         {},
         nullptr},
        {OpAddToBeginning,
         QT_TRANSLATE_NOOP("Trellisane", "Adds x at the beginning of each folder's name."),
         "Photos",
         {QStringLiteral("Old "), {}, {}, {}},
         QT_TRANSLATE_NOOP("Trellisane", "x is the text to add; you are asked for it.")},
        {OpAddToEnd,
         QT_TRANSLATE_NOOP("Trellisane", "Adds x at the end of each folder's name."),
         "Photos",
         {QStringLiteral("_old"), {}, {}, {}},
         QT_TRANSLATE_NOOP("Trellisane", "x is the text to add; you are asked for it.")},
        {OpAddBeforeEvery,
         QT_TRANSLATE_NOOP("Trellisane", "Adds x before every y in each folder's name."),
         "a-b-c",
         {QStringLiteral("_"), QStringLiteral("-"), {}, {}},
         QT_TRANSLATE_NOOP(
             "Trellisane",
             "y is the text to look for and x the text to add; you are asked for y, then for x.")},
        {OpAddAfterEvery,
         QT_TRANSLATE_NOOP("Trellisane", "Adds x after every y in each folder's name."),
         "a-b-c",
         {QStringLiteral("_"), QStringLiteral("-"), {}, {}},
         QT_TRANSLATE_NOOP(
             "Trellisane",
             "y is the text to look for and x the text to add; you are asked for y, then for x.")},
        {OpRemoveSpaces,
         QT_TRANSLATE_NOOP("Trellisane", "Removes every blank from each folder's name."),
         "My Summer Trip",
         {},
         nullptr},
        {OpRemoveBlankLines,
         QT_TRANSLATE_NOOP(
             "Trellisane",
             "Removes the empty lines from names that hold line breaks: two line breaks in a row "
             "become one."),
         "Notes\r\n\r\n2020",
         {},
         nullptr},
        {OpRemoveAlphabet,
         QT_TRANSLATE_NOOP("Trellisane",
                           "Removes the letters A to Z and a to z from each folder's name."),
         "Trip2019",
         {},
         nullptr},
        {OpRemoveNumeric,
         QT_TRANSLATE_NOOP("Trellisane", "Removes the digits 0 to 9 from each folder's name."),
         "Photos2019",
         {},
         nullptr},
        {OpRemoveAlphanumeric,
         QT_TRANSLATE_NOOP("Trellisane",
                           "Removes the letters A to Z and a to z and the digits 0 to 9 from each "
                           "folder's name."),
         "Trip2019 (1)",
         {},
         nullptr},
        {OpRemoveNonAlphanumeric,
         QT_TRANSLATE_NOOP("Trellisane",
                           "Keeps only the letters A to Z and a to z, the digits 0 to 9, blanks "
                           "and line breaks in "
                           "each folder's name."),
         "Trip (2019)!",
         {},
         nullptr},
        {OpRemoveText,
         QT_TRANSLATE_NOOP("Trellisane", "Removes every x from each folder's name."),
         "Report_copy",
         {QStringLiteral("_copy"), {}, {}, {}},
         QT_TRANSLATE_NOOP("Trellisane", "x is the text to remove; you are asked for it.")},
        {OpFindReplace,
         QT_TRANSLATE_NOOP(
             "Trellisane",
             "Replaces every occurrence of one text with another in each folder's name."),
         "My Photos",
         {{}, {}, QStringLiteral(" "), QStringLiteral("_")},
         QT_TRANSLATE_NOOP(
             "Trellisane",
             "You are asked for the text to find, then for the text to put in its place; if either "
             "is left empty, no name changes.")},
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
    if (help == nullptr) return Trellisane::tr("A separator: picking it changes no name.");
    QString text = Trellisane::tr(help->does);
    {
        const QString name = QString::fromUtf8(help->exampleName);
        const QString result = TransformName(name, operation, help->exampleAnswers).value_or(name);
        const QString with = AnswersText(operation, help->exampleAnswers);
        text += u'\n' +
                (with.isEmpty()
                     ? Trellisane::tr("Example: %1 becomes %2.").arg(Quoted(name), Quoted(result))
                     : Trellisane::tr("Example: with %1, %2 becomes %3.")
                           .arg(with, Quoted(name), Quoted(result)));
        if (name.contains(u'\n')) {
            text +=
                u' ' + Trellisane::tr("(%1 stands for a line break.)").arg(QChar(kLineBreakSign));
        }
    }
    if (help->asks != nullptr) text += u'\n' + Trellisane::tr(help->asks);
    return text;
}

QString DescribePass(Operation operation, const PromptAnswers& answers) {
    const CatalogueEntry* entry = EntryOf(operation);
    if (entry == nullptr) return QString();
    const QString with = AnswersText(operation, answers);
    const QString shown = Quoted(Trellisane::tr(entry->displayText.toUtf8().constData()));
    return with.isEmpty() ? shown : Trellisane::tr("%1 with %2").arg(shown, with);
}

}  // namespace trellisane
