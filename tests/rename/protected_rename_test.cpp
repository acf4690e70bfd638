#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>  // completes TempTree's member for the fixtures made here

#include "folders/folder_list.h"
#include "folders/protected_location.h"
#include "rename/rename_run.h"
#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

using testing::TempTree;

using ProtectedRename = TempTree;

// A run over an installed copy's samples and a folder of the person's own: the samples are
// refused with the reason and stay on disk as they were, their rows keep their paths, and the
// other folder is renamed all the same.
TEST_F(ProtectedRename, RefusesRowsInsideTheInstalledFolderAndGoesOn) {
    const QString sample = MakeFolder("usr/lib/trellisane/Samples/Photos2019");
    const QString inner = MakeFolder("usr/lib/trellisane/Samples/Photos2019/Day 1");
    const QString own = MakeFolder("home/Photos2019");
    const QString guarded = QFileInfo(PathOf("usr/lib/trellisane")).canonicalFilePath();

    FolderList list;
    list.AppendInOrder({inner, sample, own});
    list.SetNewPath(1, PathOf("usr/lib/trellisane/Samples/Photos2019/Day /"));
    list.SetNewPath(2, PathOf("usr/lib/trellisane/Samples/Photos/"));
    list.SetNewPath(3, PathOf("home/Photos/"));

    RenamePlatform platform = DefaultRenamePlatform();
    platform.refuse = [&](const QString& path) { return ProtectedLocationRefusal(path, guarded); };
    int reported = 0;
    const RenameRun run = ApplyRenames(
        list, [&](const RowOutcome&) { ++reported; }, platform);

    ASSERT_EQ(run.outcomes.size(), 3u);
    EXPECT_EQ(reported, 2);
    for (int row : {0, 1}) {
        EXPECT_FALSE(run.outcomes[row].ok());
        EXPECT_TRUE(run.outcomes[row].Report().contains(guarded));
    }
    EXPECT_TRUE(run.outcomes[2].ok());
    EXPECT_EQ(list.Row(1).current, inner);
    EXPECT_EQ(list.Row(2).current, sample);
    EXPECT_EQ(list.Row(3).current, PathOf("home/Photos/"));
    EXPECT_EQ(AllFolders(),
              QStringList({"home", "home/Photos", "usr", "usr/lib", "usr/lib/trellisane",
                           "usr/lib/trellisane/Samples", "usr/lib/trellisane/Samples/Photos2019",
                           "usr/lib/trellisane/Samples/Photos2019/Day 1"}));
}

}  // namespace
}  // namespace trellisane
