#include "engine/operations.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <algorithm>
#include <set>

#include "engine/operation_help.h"
#include "engine/text_case.h"

namespace trellisane {
namespace {

using enum Operation;
using namespace Qt::StringLiterals;

TEST(Catalogue, HoldsTheTwentyEntriesInDisplayOrder) {
    const QStringList expected{
        u"Change case of folder(s) to UPPER CASE"_s,
        u"Change case of folder(s) to lower case"_s,
        u"Change case of folder(s) to Proper Case"_s,
        u"Change case of folder(s) to Sentence case"_s,
        u"-"_s,
        u"Add x to beginning of each in folder(s)"_s,
        u"Add x to end of each in folder(s)"_s,
        u"Add x before every y character(s) in folder(s)"_s,
        u"Add x after every y character(s) in folder(s)"_s,
        u"-"_s,
        u"Remove all spaces in folder(s)"_s,
        u"Remove all blank lines (enters) in folder(s)"_s,
        u"-"_s,
        u"Remove alphabet character(s) in folder(s)"_s,
        u"Remove numeric character(s) in folder(s)"_s,
        u"Remove alphanumeric character(s) in folder(s)"_s,
        u"Remove non-alphanumeric character(s) in folder(s)"_s,
        u"Remove x (user-specified) in folder(s)"_s,
        u"-"_s,
        u"Find and replace x (user-specified) character(s) in folder(s)"_s,
    };
    EXPECT_EQ(CatalogueTexts(), expected);
}

TEST(Catalogue, EveryEntrySelectsItselfThroughItsOwnKeyword) {
    std::set<Operation> seen;
    for (const CatalogueEntry& entry : Catalogue()) {
        SCOPED_TRACE(entry.displayText.toStdString());
        if (entry.displayText == u"-"_s) {
            EXPECT_EQ(entry.operation, OpNone);
            EXPECT_TRUE(entry.keyword.isEmpty());
            continue;
        }
        EXPECT_TRUE(LowerCase(entry.displayText).contains(entry.keyword));
        EXPECT_EQ(MatchOperation(entry.displayText), entry.operation);
        EXPECT_EQ(MatchOperation(entry.keyword), entry.operation);
        EXPECT_EQ(EntryOf(entry.operation), &entry);
        seen.insert(entry.operation);
    }
    EXPECT_EQ(seen.size(), 16u);
    EXPECT_EQ(EntryOf(OpNone), nullptr);
}

struct MatchRow {
    const char* name;
    QString text;
    Operation expected;
};

class Match : public ::testing::TestWithParam<MatchRow> {};

TEST_P(Match, TakesTheFirstKeywordInTestOrder) {
    EXPECT_EQ(MatchOperation(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, Match,
    ::testing::Values(
        MatchRow{"Separator", u"-"_s, OpNone}, MatchRow{"Empty", u""_s, OpNone},
        MatchRow{"Unrelated", u"rename everything"_s, OpNone},
        MatchRow{"ShoutedKeyword", u"REMOVE NUMERIC"_s, OpRemoveNumeric},
        // "remove alphanumeric" is not inside "remove non-alphanumeric".
        MatchRow{"NonAlphanumeric", u"Remove non-alphanumeric character(s) in folder(s)"_s,
                 OpRemoveNonAlphanumeric},
        // Texts with two keywords: the earlier one in the test order wins, not the earlier
        // one in the text.
        MatchRow{"RemoveXBeforeFind", u"find and replace or remove x"_s, OpRemoveText},
        MatchRow{"FindBeforeAdd", u"add x to end, find and replace"_s, OpFindReplace},
        MatchRow{"LowerBeforeSpaces", u"remove all spaces in lower case"_s, OpLowerCase},
        MatchRow{"UpperFirst", u"lower case UPPER CASE"_s, OpUpperCase},
        MatchRow{"SubstringInsideWord", u"xremove xylophones"_s, OpRemoveText}),
    [](const auto& info) { return std::string(info.param.name); });

struct AskRow {
    const char* name;
    Operation operation;
    QStringList typed;  ///< answers given in turn; "" is Cancel
    QStringList expectedPrompts;
    PromptAnswers expected;
};

class Ask : public ::testing::TestWithParam<AskRow> {};

TEST_P(Ask, AsksEachPromptOnceInOrder) {
    const AskRow& row = GetParam();
    QStringList asked;
    const PromptAnswers answers = AskPrompts(row.operation, [&](const QString& text) {
        const qsizetype i = asked.size();
        asked << text;
        return i < row.typed.size() ? row.typed[i] : QString();
    });
    EXPECT_EQ(asked, row.expectedPrompts);
    EXPECT_EQ(answers.x, row.expected.x);
    EXPECT_EQ(answers.y, row.expected.y);
    EXPECT_EQ(answers.findWhat, row.expected.findWhat);
    EXPECT_EQ(answers.replaceWith, row.expected.replaceWith);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, Ask,
    ::testing::Values(
        AskRow{"NoPrompts", OpUpperCase, {u"x"_s}, {}, {}},
        AskRow{"None", OpNone, {u"x"_s}, {}, {}},
        AskRow{"AddBeginning",
               OpAddToBeginning,
               {u"a"_s},
               {u"Enter text to add: "_s},
               {u"a"_s, {}, {}, {}}},
        AskRow{"AddEnd", OpAddToEnd, {u" "_s}, {u"Enter text to add: "_s}, {u" "_s, {}, {}, {}}},
        AskRow{"BeforeAsksYFirst",
               OpAddBeforeEvery,
               {u"y"_s, u"x"_s},
               {u"Enter before text (y): "_s, u"Enter text to add (x): "_s},
               {u"x"_s, u"y"_s, {}, {}}},
        AskRow{"AfterAsksYFirst",
               OpAddAfterEvery,
               {u"y"_s, u"x"_s},
               {u"Enter after text (y): "_s, u"Enter text to add (x): "_s},
               {u"x"_s, u"y"_s, {}, {}}},
        AskRow{"RemoveText",
               OpRemoveText,
               {u"ab"_s},
               {u"Please enter characters you would like to remove:"_s},
               {u"ab"_s, {}, {}, {}}},
        // The second prompt is asked even when the first was cancelled.
        AskRow{"FindCancelled",
               OpFindReplace,
               {u""_s, u"with"_s},
               {u"Find What:"_s, u"Replace With:"_s},
               {{}, {}, {}, u"with"_s}}),
    [](const auto& info) { return std::string(info.param.name); });

// The selector's help for every operation: an example that shows a real change, worked out by
// the operation itself, and a word on each answer the operation asks for.
TEST(OperationHelp, EveryOperationHasAnExampleThatChangesTheNameAndExplainsItsAnswers) {
    for (const CatalogueEntry& entry : Catalogue()) {
        if (entry.operation == Operation::OpNone) continue;
        const QString help = OperationHelp(entry.operation);
        SCOPED_TRACE(entry.displayText.toStdString());
        const qsizetype example = help.indexOf(u"Example: ");
        ASSERT_GE(example, 0) << help.toStdString();
        const QString line = help.mid(example).section(u'\n', 0, 0);
        const QStringList quoted = line.split(u'"');
        ASSERT_GE(quoted.size(), 5) << line.toStdString();
        EXPECT_NE(quoted.at(quoted.size() - 4), quoted.at(quoted.size() - 2))
            << line.toStdString();  // "name" becomes "result": they differ
        for (const Prompt& prompt : entry.prompts) {
            const QStringList says = [&]() -> QStringList {
                switch (prompt.field) {
                    case PromptField::X:
                        return {u"x is the text"_s, u"x the text"_s};
                    case PromptField::Y:
                        return {u"y is the text"_s};
                    case PromptField::FindWhat:
                        return {u"the text to find"_s};
                    case PromptField::ReplaceWith:
                        return {u"the text to put in its place"_s};
                }
                return {};
            }();
            EXPECT_TRUE(std::any_of(says.begin(), says.end(), [&](const QString& text) {
                return help.contains(text);
            })) << help.toStdString();
        }
    }
    EXPECT_TRUE(OperationHelp(Operation::OpNone).contains(u"changes no name"));
}

}  // namespace
}  // namespace trellisane
