#include "engine/text_helpers.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QString>
#include <QTemporaryDir>  // TempTree holds one by unique_ptr

#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

struct FilterRow {
    const char* name;
    const char16_t* text;
    const char16_t* set;
    bool keep;
    const char16_t* expected;
};

class KeepOrRemove : public ::testing::TestWithParam<FilterRow> {};

TEST_P(KeepOrRemove, FiltersWholeCharactersInOrder) {
    const FilterRow& row = GetParam();
    EXPECT_EQ(
        KeepOrRemoveChars(QString::fromUtf16(row.text), QString::fromUtf16(row.set), row.keep),
        QString::fromUtf16(row.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Engine, KeepOrRemove,
    ::testing::Values(FilterRow{"RemoveDigits", u"a1b2", u"0123456789", false, u"ab"},
                      FilterRow{"KeepDigits", u"a1b2", u"0123456789", true, u"12"},
                      FilterRow{"EmptySetRemoves", u"abc", u"", false, u"abc"},
                      FilterRow{"EmptySetKeeps", u"abc", u"", true, u""},
                      FilterRow{"EmptyText", u"", u"abc", true, u""},
                      FilterRow{"CaseMatters", u"aAbB", u"ab", false, u"AB"},
                      FilterRow{"SetOrderIrrelevant", u"c1b2a3", u"cab", true, u"cba"},
                      // Both emoji share their high surrogate: only the whole pair matches.
                      FilterRow{"EmojiNotSplit", u"😀😁😀", u"😀", false, u"😁"},
                      FilterRow{"EmojiKept", u"a😁b", u"😀ab", true, u"ab"}),
    [](const auto& test) { return std::string(test.param.name); });

struct SplitRow {
    const char* name;
    const char16_t* path;
    char16_t separator;
    const char16_t* parent;
    const char16_t* folder;
};

class PathSplit : public ::testing::TestWithParam<SplitRow> {};

TEST_P(PathSplit, SplitsAtTheLastSeparatorAndJoinsBack) {
    const SplitRow& row = GetParam();
    const QString path = QString::fromUtf16(row.path);
    const QChar separator(row.separator);
    EXPECT_EQ(GetParentPath(path, separator), QString::fromUtf16(row.parent));
    EXPECT_EQ(GetFolderName(path, separator), QString::fromUtf16(row.folder));
    EXPECT_EQ(GetParentPath(path, separator) + GetFolderName(path, separator), path);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, PathSplit,
    ::testing::Values(SplitRow{"Windows", u"C:\\Photos\\summer", u'\\', u"C:\\Photos\\", u"summer"},
                      SplitRow{"NoSeparator", u"summer", u'\\', u"", u"summer"},
                      SplitRow{"TrailingSeparator", u"C:\\Photos\\", u'\\', u"C:\\Photos\\", u""},
                      SplitRow{"LeadingSeparator", u"\\summer", u'\\', u"\\", u"summer"},
                      SplitRow{"Empty", u"", u'\\', u"", u""},
                      SplitRow{"Posix", u"/home/a b/c", u'/', u"/home/a b/", u"c"},
                      // On '/' systems a backslash is an ordinary character of a name.
                      SplitRow{"BackslashInPosixName", u"/home/a\\b", u'/', u"/home/", u"a\\b"},
                      SplitRow{"Root", u"/", u'/', u"/", u""}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(PathSplitLong, HandlesPathsBeyondSixteenBits) {
    const QString name(40000, u'n');
    const QString path = QStringLiteral("/a/") + name;
    EXPECT_EQ(GetFolderName(path), name);
    EXPECT_EQ(GetParentPath(path), QStringLiteral("/a/"));
    EXPECT_EQ(KeepOrRemoveChars(name + u'1', QStringLiteral("1"), false), name);
}

class FileExistsTest : public testing::TempTree {};

TEST_F(FileExistsTest, TellsEntriesFromMissingOnes) {
    MakeFolder(QStringLiteral("folder"));
    MakeFile(QStringLiteral("file"));
    ASSERT_EQ(
        ::symlink("missing", QFile::encodeName(PathOf(QStringLiteral("dangling"))).constData()), 0);
    EXPECT_TRUE(FileExists(PathOf(QStringLiteral("folder"))));
    EXPECT_TRUE(FileExists(PathOf(QStringLiteral("file"))));
    // The link itself is an entry, whatever it points at.
    EXPECT_TRUE(FileExists(PathOf(QStringLiteral("dangling"))));
    EXPECT_FALSE(FileExists(PathOf(QStringLiteral("missing"))));
    EXPECT_FALSE(FileExists(QString()));
    // A NUL must not cut the path short to one that exists.
    EXPECT_FALSE(FileExists(PathOf(QStringLiteral("folder")) + QChar(u'\0') + u'x'));
}

}  // namespace
}  // namespace trellisane
