#include "engine/transform.h"

#include <gtest/gtest.h>

#include <QString>
#include <optional>

namespace trellisane {
namespace {

using enum Operation;
using namespace Qt::StringLiterals;

struct NameRow {
    const char* name;
    Operation operation;
    PromptAnswers answers;
    QString input;
    std::optional<QString> expected;  ///< std::nullopt: no-change
};

PromptAnswers X(const QString& x) { return {x, {}, {}, {}}; }
PromptAnswers XY(const QString& x, const QString& y) { return {x, y, {}, {}}; }
PromptAnswers Find(const QString& what, const QString& with) { return {{}, {}, what, with}; }

class Transform : public ::testing::TestWithParam<NameRow> {};

TEST_P(Transform, GivesTheNewNameOrNoChange) {
    const NameRow& row = GetParam();
    EXPECT_EQ(TransformName(row.input, row.operation, row.answers), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, Transform,
    ::testing::Values(
        NameRow{"Upper", OpUpperCase, {}, u"summer 2020"_s, u"SUMMER 2020"_s},
        NameRow{"Lower", OpLowerCase, {}, u"MiXeD Été"_s, u"mixed été"_s},
        NameRow{"Proper", OpProperCase, {}, u"summer 2020"_s, u"Summer 2020"_s},
        NameRow{"Sentence", OpSentenceCase, {}, u"hELLO wORLD"_s, u"Hello world"_s},
        NameRow{"AddBeginning", OpAddToBeginning, X(u"new "_s), u"C:"_s, u"new C:"_s},
        NameRow{"AddBeginningEmptyX", OpAddToBeginning, X({}), u"C:"_s, std::nullopt},
        NameRow{"AddEnd", OpAddToEnd, X(u"_old"_s), u"Data"_s, u"Data_old"_s},
        NameRow{"AddEndEmptyX", OpAddToEnd, X({}), u"Data"_s, std::nullopt},
        // Blanks are an answer like any other, used unchanged.
        NameRow{"AddEndBlanks", OpAddToEnd, X(u"  "_s), u"Data"_s, u"Data  "_s},
        NameRow{"Before", OpAddBeforeEvery, XY(u"_"_s, u"-"_s), u"a-b-c"_s, u"a_-b_-c"_s},
        NameRow{"After", OpAddAfterEvery, XY(u"_"_s, u"-"_s), u"a-b-c"_s, u"a-_b-_c"_s},
        // Inserted text is never searched again.
        NameRow{"BeforeSelf", OpAddBeforeEvery, XY(u"a"_s, u"a"_s), u"aa"_s, u"aaaa"_s},
        NameRow{"AfterGrows", OpAddAfterEvery, XY(u"b"_s, u"ab"_s), u"abab"_s, u"abbabb"_s},
        NameRow{"BeforeEmptyY", OpAddBeforeEvery, XY(u"_"_s, {}), u"a-b"_s, std::nullopt},
        NameRow{"AfterEmptyX", OpAddAfterEvery, XY({}, u"-"_s), u"a-b"_s, std::nullopt},
        NameRow{"Spaces", OpRemoveSpaces, {}, u" a b\tc  "_s, u"ab\tc"_s},
        // Three CR LF pairs in a row become two: one pass only.
        NameRow{
            "BlankLinesThreePairs", OpRemoveBlankLines, {}, u"a\r\n\r\n\r\nb"_s, u"a\r\n\r\nb"_s},
        NameRow{
            "BlankLinesFourPairs", OpRemoveBlankLines, {}, u"\r\n\r\n\r\n\r\n"_s, u"\r\n\r\n"_s},
        NameRow{
            "BlankLinesBareLf", OpRemoveBlankLines, {}, u"a\n\nb\r\r\n\n"_s, u"a\n\nb\r\r\n\n"_s},
        NameRow{"Alphabet", OpRemoveAlphabet, {}, u"Été 2020"_s, u"Éé 2020"_s},
        NameRow{"NumericEmpties", OpRemoveNumeric, {}, u"2020"_s, u""_s},
        NameRow{"NumericAsciiOnly", OpRemoveNumeric, {}, u"a1٢"_s, u"a٢"_s},
        NameRow{"Alphanumeric", OpRemoveAlphanumeric, {}, u"Photos_2020 (old)"_s, u"_ ()"_s},
        NameRow{"NonAlphanumeric",
                OpRemoveNonAlphanumeric,
                {},
                u"Photos_2020 (old)"_s,
                u"Photos2020 old"_s},
        NameRow{"NonAlphanumericKeepsSpacing",
                OpRemoveNonAlphanumeric,
                {},
                u"a\tb\r\nc-é.😀"_s,
                u"a\tb\r\nc"_s},
        NameRow{"RemoveWholeText", OpRemoveText, X(u"ab"_s), u"abcab"_s, u"c"_s},
        NameRow{"RemoveNotEachCharacter", OpRemoveText, X(u"ab"_s), u"a b"_s, u"a b"_s},
        NameRow{"RemoveCaseSensitive", OpRemoveText, X(u"A"_s), u"abc"_s, u"abc"_s},
        NameRow{"RemoveEmptyX", OpRemoveText, X({}), u"abc"_s, std::nullopt},
        NameRow{"FindReplaceLeftmost", OpFindReplace, Find(u"aa"_s, u"b"_s), u"aaa"_s, u"ba"_s},
        NameRow{"FindReplaceGrows", OpFindReplace, Find(u"a"_s, u"aa"_s), u"aXa"_s, u"aaXaa"_s},
        NameRow{"FindReplaceCase", OpFindReplace, Find(u"A"_s, u"b"_s), u"aA"_s, u"ab"_s},
        // An empty replacement never deletes.
        NameRow{"FindReplaceEmptyWith", OpFindReplace, Find(u"a"_s, {}), u"abc"_s, std::nullopt},
        NameRow{"FindReplaceEmptyWhat", OpFindReplace, Find({}, u"x"_s), u"abc"_s, std::nullopt},
        // 😀 and 😁 share a high surrogate; a lone half never matches inside a pair.
        NameRow{"FindReplaceEmoji", OpFindReplace, Find(u"😀"_s, u"x"_s), u"😁😀"_s, u"😁x"_s},
        NameRow{"FindReplaceHalfPair", OpFindReplace, Find(QString(QChar(0xD83D)), u"x"_s), u"😁"_s,
                u"😁"_s},
        NameRow{"None", OpNone, X(u"x"_s), u"abc"_s, std::nullopt}),
    [](const auto& test) { return std::string(test.param.name); });

struct PathRow {
    const char* name;
    Operation operation;
    PromptAnswers answers;
    char16_t separator;
    QString path;
    std::optional<QString> expected;
};

class NewPath : public ::testing::TestWithParam<PathRow> {};

TEST_P(NewPath, TransformsOnlyTheLastName) {
    const PathRow& row = GetParam();
    EXPECT_EQ(BuildNewPath(row.path, row.operation, row.answers, QChar(row.separator)),
              row.expected);
}

const QString kLongName(40000, u'n');

INSTANTIATE_TEST_SUITE_P(
    Engine, NewPath,
    ::testing::Values(
        PathRow{"Upper",
                OpUpperCase,
                {},
                u'\\',
                u"C:\\Photos\\summer 2020\\"_s,
                u"C:\\Photos\\SUMMER 2020\\"_s},
        PathRow{"ProperKeepsParent",
                OpProperCase,
                {},
                u'\\',
                u"C:\\photos\\summer 2020\\"_s,
                u"C:\\photos\\Summer 2020\\"_s},
        PathRow{"NoTrailingSeparator",
                OpUpperCase,
                {},
                u'\\',
                u"C:\\Photos\\summer"_s,
                u"C:\\Photos\\SUMMER\\"_s},
        PathRow{"DriveIsAllName", OpAddToBeginning, X(u"new "_s), u'\\', u"C:\\"_s, u"new C:\\"_s},
        PathRow{"EmptiedName",
                OpRemoveNumeric,
                {},
                u'\\',
                u"C:\\Photos\\2020\\"_s,
                u"C:\\Photos\\\\"_s},
        // Only one trailing separator goes; the name between the two is empty.
        PathRow{"TwoTrailing", OpAddToEnd, X(u"x"_s), u'\\', u"C:\\Photos\\\\"_s,
                u"C:\\Photos\\x\\"_s},
        PathRow{"NoChange", OpAddToEnd, X({}), u'\\', u"C:\\Photos\\"_s, std::nullopt},
        PathRow{"PosixParentUntouched", OpRemoveSpaces, {}, u'/', u"/a b/c d/"_s, u"/a b/cd/"_s},
        PathRow{"PosixBackslashIsName", OpUpperCase, {}, u'/', u"/x/a\\b/"_s, u"/x/A\\B/"_s},
        PathRow{"PosixRoot", OpLowerCase, {}, u'/', u"//"_s, u"//"_s},
        PathRow{"LongName", OpAddToEnd, X(u"1"_s), u'/', u"/p/"_s + kLongName + u'/',
                u"/p/"_s + kLongName + u"1/"_s},
        PathRow{"LongParent",
                OpUpperCase,
                {},
                u'/',
                u"/"_s + kLongName + u"/a/"_s,
                u"/"_s + kLongName + u"/A/"_s}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace trellisane
