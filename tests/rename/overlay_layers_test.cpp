// Whether an overlay lets a folder move, and the plan that says so.

#include "rename/overlay_layers.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>  // completes TempTree's member for the fixtures made here
#include <cerrno>

#include "folders/folder_list.h"
#include "rename/rename_plan.h"
#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

using Kind = OverlayVerdict::Kind;

TEST(OverlayLayersTest, AreReadFromTheSuperOptions) {
    const OverlayLayers layers = ParseOverlayLayers(
        QStringLiteral("rw,lowerdir=/l/a\\:b:/l/c,upperdir=/u,workdir=/w,redirect_dir=follow"));
    EXPECT_EQ(layers.lower, (QStringList{"/l/a:b", "/l/c"}));
    EXPECT_EQ(layers.upper, QStringLiteral("/u"));
    EXPECT_EQ(layers.redirectDir, QStringLiteral("follow"));
    EXPECT_FALSE(ParseOverlayLayers(QStringLiteral("rw,lowerdir=/l")).redirectDir);
}

struct OverlayRow {
    const char* label;
    const char* options;
    const char* moduleDefault;
    std::vector<const char*> lowerFolders;  ///< what the lower layers hold; "?" first: unreadable
    Kind kind;
};

void PrintTo(const OverlayRow& row, std::ostream* out) { *out << row.label; }

class OverlayVerdicts : public ::testing::TestWithParam<OverlayRow> {};

TEST_P(OverlayVerdicts, FollowTheLayersAndRedirectDir) {
    const OverlayRow& row = GetParam();
    const auto holds = [&row](const QString& path) {
        for (const char* folder : row.lowerFolders) {
            if (folder[0] == '?' && path.startsWith(QString::fromUtf8(folder + 1))) return -1;
            if (path == QString::fromUtf8(folder)) return 1;
        }
        return 0;
    };
    const OverlayVerdict verdict =
        JudgeOverlayRename(ParseOverlayLayers(QString::fromUtf8(row.options)),
                           QString::fromUtf8(row.moduleDefault), QStringLiteral("a/b"), holds);
    EXPECT_EQ(verdict.kind, row.kind);
    EXPECT_EQ(verdict.reason.isEmpty(), row.kind == Kind::Moves);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OverlayVerdicts,
    ::testing::Values(
        OverlayRow{"FromALowerLayer",
                   "lowerdir=/l1:/l2,upperdir=/u",
                   "N\n",
                   {"/l1", "/l2", "/l2/a/b"},
                   Kind::Fails},
        OverlayRow{"MadeInTheUpperLayer", "lowerdir=/l1,upperdir=/u", "N\n", {"/l1"}, Kind::Moves},
        OverlayRow{"RedirectDirOn",
                   "lowerdir=/l1,upperdir=/u,redirect_dir=on",
                   "N\n",
                   {"/l1", "/l1/a/b"},
                   Kind::Moves},
        OverlayRow{"RedirectDirByDefault",
                   "lowerdir=/l1,upperdir=/u",
                   "Y\n",
                   {"/l1", "/l1/a/b"},
                   Kind::Moves},
        OverlayRow{"RedirectDirFollowOnly",
                   "lowerdir=/l1,upperdir=/u,redirect_dir=follow",
                   "Y\n",
                   {"/l1", "/l1/a/b"},
                   Kind::Fails},
        // A layer named by a path this process cannot see tells nothing.
        OverlayRow{"LayerNotThere", "lowerdir=/elsewhere,upperdir=/u", "N\n", {}, Kind::MayFail},
        OverlayRow{"LayerRelative", "lowerdir=lo,upperdir=up", "N\n", {}, Kind::MayFail},
        OverlayRow{
            "LayerUnreadable", "lowerdir=/l1,upperdir=/u", "N\n", {"/l1", "?/l1/"}, Kind::MayFail}),
    [](const ::testing::TestParamInfo<OverlayRow>& test) { return std::string(test.param.label); });

using testing::TempTree;

TEST_F(TempTree, ThePlanForeseesWhatAnOverlayWillNotMove) {
    MakeFolder("lower1");
    MakeFolder("upper1");
    MakeFolder("unseen1");
    FolderList list;
    list.AppendInOrder({PathOf("lower1/"), PathOf("upper1/"), PathOf("unseen1/")});
    list.SetNewPath(1, PathOf("lower2/"));
    list.SetNewPath(2, PathOf("upper2/"));
    list.SetNewPath(3, PathOf("unseen2/"));
    RenamePlatform platform = DefaultRenamePlatform();
    platform.overlayVerdict = [](const QString& folder) {
        if (folder.endsWith(u"lower1")) return OverlayVerdict{Kind::Fails, QStringLiteral("lower")};
        if (folder.endsWith(u"unseen1"))
            return OverlayVerdict{Kind::MayFail, QStringLiteral("unseen")};
        return OverlayVerdict{};
    };

    const RenamePlan plan = PlanRenames(list.Rows(), platform);

    ASSERT_EQ(plan.fates.size(), 3U);
    EXPECT_EQ(plan.fates[0].status, RowStatus::Failed);
    EXPECT_EQ(plan.fates[0].error, EXDEV);
    EXPECT_EQ(DescribeFate(plan.fates[0], {}), QStringLiteral("lower"));
    EXPECT_EQ(plan.fates[1].status, RowStatus::Renamed);
    EXPECT_EQ(plan.fates[2].status, RowStatus::MayFail);
    EXPECT_EQ(DescribeFate(plan.fates[2], {}), QStringLiteral("unseen"));
    EXPECT_STREQ(StatusKeyword(plan.fates[2].status), "may-fail");
    // The row that may fail is expected to move: its final path is its new one.
    EXPECT_EQ(plan.finalPaths[2], PathOf("unseen2/"));
    EXPECT_EQ(plan.finalPaths[0], PathOf("lower1/"));
}

}  // namespace
}  // namespace trellisane
