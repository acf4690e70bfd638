#include "folders/samples.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <ostream>

#include "tests/folders/unprivileged.h"
#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

using testing::TempTree;

TEST(SamplesPath, IsTheProgramFolderThenSamples) {
    EXPECT_EQ(SamplesPath("/opt/trellisane"), "/opt/trellisane/Samples/");
    EXPECT_EQ(SamplesPath("/"), "/Samples/");
}

class SampleFolders : public TempTree {
  protected:
    QString Samples() const { return PathOf("Samples/"); }
};

TEST_F(SampleFolders, ListsImmediateSubFoldersInBinaryOrder) {
    for (const char* folder : {"Samples/b 2", "Samples/a-1", "Samples/a", "Samples/B",
                               "Samples/a/inside", "elsewhere"}) {
        MakeFolder(folder);
    }
    MakeFile("Samples/readme.txt");
    ASSERT_EQ(symlink(PathOf("elsewhere").toUtf8().constData(),
                      PathOf("Samples/linked").toUtf8().constData()),
              0);
    ASSERT_EQ(symlink("nowhere", PathOf("Samples/dangling").toUtf8().constData()), 0);
    const QByteArray notUtf8 = PathOf("Samples/").toUtf8() + "bad\xff";
    ASSERT_EQ(mkdir(notUtf8.constData(), 0755), 0);
    // Qt cannot remove a name that is not UTF-8.
    const std::unique_ptr<const char, int (*)(const char*)> removeNotUtf8(notUtf8.constData(),
                                                                          rmdir);

    SampleFolder folder(Samples());
    EXPECT_EQ(folder.Open(), std::nullopt);
    EXPECT_EQ(folder.List(), std::nullopt);
    EXPECT_TRUE(folder.Listed());
    // By name, not by row path: "a" comes before "a-1" though "a/" sorts after "a-1/".
    const QString s = Samples();
    EXPECT_EQ(folder.Rows(),
              (QStringList{s + "B/", s + "a/", s + "a-1/", s + "b 2/", s + "linked/"}));
}

TEST_F(SampleFolders, EmptyFolderListsNothing) {
    MakeFolder("Samples");
    SampleFolder folder(Samples());
    EXPECT_EQ(folder.List(), std::nullopt);  // opens by itself
    EXPECT_TRUE(folder.Listed());
    EXPECT_TRUE(folder.Rows().isEmpty());
}

struct FailureRow {
    const char* label;
    bool file;  ///< a file stands where the folder should be
    const char* description;
};

void PrintTo(const FailureRow& row, std::ostream* out) { *out << row.label; }

class SampleFolderFailures : public TempTree, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(SampleFolderFailures, EachStepReportsThePlatformsDescription) {
    const FailureRow& row = GetParam();
    if (row.file) MakeFile("Samples");
    SampleFolder folder(PathOf("Samples/"));
    EXPECT_EQ(folder.Open(), QString::fromLatin1(row.description));
    EXPECT_EQ(folder.List(), QString::fromLatin1(row.description));
    EXPECT_FALSE(folder.Listed());
    EXPECT_TRUE(folder.Rows().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Folders, SampleFolderFailures,
    ::testing::Values(FailureRow{"Missing", false, "No such file or directory"},
                      FailureRow{"FileInstead", true, "Not a directory"}),
    [](const ::testing::TestParamInfo<FailureRow>& info) { return std::string(info.param.label); });

TEST_F(SampleFolders, UnreadableFolderFailsToOpen) {
    MakeFolder("Samples/one");
    ASSERT_TRUE(QFile::setPermissions(PathOf("Samples"), QFile::ExeOwner));
    const QString samples = Samples();
    const auto output = testing::RunWithoutReadPower([samples] {
        SampleFolder folder(samples);
        const QString opened = folder.Open().value_or(QStringLiteral("opened"));
        const QString listed = folder.List().value_or(QStringLiteral("listed"));
        return (opened + u'|' + listed + u'|' + QString::number(folder.Rows().size())).toUtf8();
    });
    ASSERT_TRUE(output.has_value()) << "the child could not give up its power to read";
    EXPECT_EQ(*output, "Permission denied|Permission denied|0");
}

}  // namespace
}  // namespace trellisane
