#include "engine/text_case.h"

#include <gtest/gtest.h>

#include <QString>
#include <functional>

namespace trellisane {
namespace {

struct CaseRow {
    const char* name;
    QString (*function)(const QString&);
    const char16_t* input;
    const char16_t* expected;
};

class CaseMapping : public ::testing::TestWithParam<CaseRow> {};

TEST_P(CaseMapping, MapsEachCharacterByItselfAndKeepsTheLength) {
    const CaseRow& row = GetParam();
    const QString input = QString::fromUtf16(row.input);
    const QString result = row.function(input);
    EXPECT_EQ(result, QString::fromUtf16(row.expected));
    EXPECT_EQ(result.size(), input.size());
}

INSTANTIATE_TEST_SUITE_P(
    Engine, CaseMapping,
    ::testing::Values(
        CaseRow{"UpperDigitsAndBlanks", UpperCase, u"summer 2020", u"SUMMER 2020"},
        CaseRow{"UpperEmpty", UpperCase, u"", u""}, CaseRow{"LowerEmpty", LowerCase, u"", u""},
        CaseRow{"ProperEmpty", ProperCase, u"", u""},
        CaseRow{"SentenceEmpty", SentenceCase, u"", u""},
        // 'ß' and the 'ﬁ' ligature only upper-case to two letters: they stay.
        CaseRow{"UpperSharpS", UpperCase, u"straße", u"STRAßE"},
        CaseRow{"UpperFiLigature", UpperCase, u"ﬁle", u"ﬁLE"},
        CaseRow{"UpperAccents", UpperCase, u"été à", u"ÉTÉ À"},
        // Deseret letters lie outside the BMP: the surrogate pair is mapped as one character.
        CaseRow{"UpperDeseret", UpperCase, u"\U00010428a", u"\U00010400A"},
        CaseRow{"LowerDeseret", LowerCase, u"\U00010400A", u"\U00010428a"},
        CaseRow{"UpperEmojiUntouched", UpperCase, u"a😀b", u"A😀B"},
        // Per-character mapping knows no word-final sigma.
        CaseRow{"LowerGreekSigma", LowerCase, u"ΟΔΟΣ", u"οδοσ"},
        CaseRow{"UpperFinalSigma", UpperCase, u"οδος", u"ΟΔΟΣ"},
        // Characters that also have a longer special mapping still take their one-to-one one.
        CaseRow{"LowerDottedCapitalI", LowerCase, u"İSTANBUL", u"istanbul"},
        CaseRow{"UpperYpogegrammeni", UpperCase, u"ᾳᾀᾗῳ", u"ᾼᾈᾟῼ"},
        CaseRow{"ProperYpogegrammeniKeepsCapital", ProperCase, u"ᾈδης", u"ᾈδης"},
        // Upper case, not title case, for the digraph.
        CaseRow{"ProperDigraph", ProperCase, u"ǆa", u"Ǆa"},
        CaseRow{"ProperWords", ProperCase, u"ABC DEF", u"Abc Def"},
        CaseRow{"ProperHyphen", ProperCase, u"rock-n-roll", u"Rock-n-roll"},
        CaseRow{"ProperUnderscore", ProperCase, u"hello_world", u"Hello_world"},
        CaseRow{"ProperApostrophe", ProperCase, u"o'neil", u"O'neil"},
        CaseRow{"ProperBracket", ProperCase, u"(abc) def", u"(abc) Def"},
        CaseRow{"ProperTwoBlanks", ProperCase, u"a  b", u"A  B"},
        // Tab and CR break words, LF does not.
        CaseRow{"ProperBreaks", ProperCase, u"a\tb\rc\nd", u"A\tB\rC\nd"},
        CaseRow{"ProperAccents", ProperCase, u"élan ÉTÉ", u"Élan Été"},
        CaseRow{"ProperDeseret", ProperCase, u"\U00010428\U00010400 \U00010400",
                u"\U00010400\U00010428 \U00010400"},
        CaseRow{"SentenceWords", SentenceCase, u"hELLO wORLD", u"Hello world"},
        CaseRow{"SentenceFullStop", SentenceCase, u"one. two", u"One. two"},
        CaseRow{"SentenceLeadingBlank", SentenceCase, u" abc", u" abc"},
        CaseRow{"SentenceDeseret", SentenceCase, u"\U00010428\U00010400", u"\U00010400\U00010428"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(CaseMappingLone, LoneSurrogateIsKeptAndNotMerged) {
    // A high surrogate without its partner is a character of its own; the next one is mapped.
    QString input;
    input.append(QChar(0xD801)).append(u'a');
    QString expected;
    expected.append(QChar(0xD801)).append(u'A');
    EXPECT_EQ(UpperCase(input), expected);
    EXPECT_EQ(ProperCase(input), QString(QChar(0xD801)) + u'a');
}

}  // namespace
}  // namespace trellisane
