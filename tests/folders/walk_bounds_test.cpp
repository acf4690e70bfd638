// The walk's bounds at their exact edges, the descriptors it holds, and a kernel file system
// mounted inside a walked tree.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QProcess>
#include <QTemporaryDir>  // completes TempTree's member for the fixtures made here

#include "folders/subfolder_walk.h"
#include "tests/folders/unprivileged.h"
#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

using testing::TempTree;

struct PathBoundRow {
    const char* label;
    qsizetype length;  ///< of the folder's path, trailing separator included
    bool walked;
};

void PrintTo(const PathBoundRow& row, std::ostream* out) { *out << row.label; }

class WalkPathBound : public TempTree, public ::testing::WithParamInterface<PathBoundRow> {};

TEST_P(WalkPathBound, WalksAFolderOnlyWhileItsPathIsShorterThan260Characters) {
    // A sub-folder whose path has exactly the row's length, with a child of its own.
    const qsizetype prefix = PathOf("s/").size();
    const QString name(GetParam().length - prefix - 1, u'b');
    ASSERT_GT(name.size(), 0);
    MakeFolder("s/" + name + "/child");
    QStringList folders{PathOf("s/")};
    GetSubDirectories2016(folders, true);
    const QString folder = PathOf("s/" + name + "/");
    ASSERT_EQ(folder.size(), GetParam().length);
    QStringList expected{PathOf("s/"), folder};
    if (GetParam().walked) expected << folder + "child/";
    EXPECT_EQ(folders, expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, WalkPathBound,
                         ::testing::Values(PathBoundRow{"Length259", 259, true},
                                           PathBoundRow{"Length260", 260, false}),
                         [](const ::testing::TestParamInfo<PathBoundRow>& test) {
                             return std::string(test.param.label);
                         });

using WalkDescriptors = TempTree;

TEST_F(WalkDescriptors, DeepAndWideTreeNeedsOnlyAFewDescriptorsWhateverItsDepth) {
    // As deep as the length bound lets a walk go, with a sibling at every level, so each level
    // has several runs of siblings: the descriptors a walk holds must not grow with either.
    QString chain = "s";
    while (PathOf(chain).size() < 255) {
        MakeFolder(chain + "/e");
        chain += "/d";
    }
    MakeFolder(chain);
    QStringList whole{PathOf("s/")};
    GetSubDirectories2016(whole, true);
    ASSERT_GT(whole.size(), 150);

    // Two for the walk (a parent and the folder being listed), one for reading the mount table.
    const QStringList start{PathOf("s/")};
    const auto output =
        testing::RunWithFreeFiles(3, [&start] { return testing::WalkAsText(start); });
    ASSERT_TRUE(output.has_value());
    EXPECT_EQ(output->toStdString(), whole.join(u'\n').toStdString());
}

/// Runs a tool quietly: its exit code, or -1 when it could not run.
int RunQuietly(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) return -1;
    return process.exitCode();
}

using WalkMounts = TempTree;

TEST_F(WalkMounts, KernelFileSystemInsideTheTreeIsLeftOutWithEverythingBeneathIt) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting needs root";
    MakeFolder("s/kernel");
    MakeFolder("s/plain/inner");
    if (RunQuietly("mount", {"-t", "proc", "proc", PathOf("s/kernel")}) != 0) {
        GTEST_SKIP() << "this machine does not allow mounting /proc again";
    }
    QStringList folders{PathOf("s/")};
    GetSubDirectories2016(folders, true);
    if (RunQuietly("umount", {PathOf("s/kernel")}) != 0) {
        RunQuietly("umount", {"-l", PathOf("s/kernel")});
    }
    folders.sort();
    EXPECT_EQ(folders, (QStringList{PathOf("s/"), PathOf("s/plain/"), PathOf("s/plain/inner/")}));
}

}  // namespace
}  // namespace trellisane
