// Renames on file systems this machine does not have, through the seam at renameat2: one that
// refuses the no-replace flag (NFS, FUSE, 9p, kernels without the call), and one that is full.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>  // completes TempTree's member for the fixtures made here
#include <cerrno>

#include "folders/folder_list.h"
#include "rename/rename_plan.h"
#include "rename/rename_run.h"
#include "rename/undo.h"
#include "tests/support/syscall_seams.h"
#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

using testing::TempTree;

struct RefusedFlagRow {
    const char* label;
    int refusal;       ///< what renameat2 answers
    bool targetTaken;  ///< an empty folder stands at the target
    int expected;      ///< RenameNoReplace's answer
};

void PrintTo(const RefusedFlagRow& row, std::ostream* out) { *out << row.label; }

class RefusedFlag : public TempTree, public ::testing::WithParamInterface<RefusedFlagRow> {};

TEST_P(RefusedFlag, FallsBackToCheckThenRenameAndStillNeverReplaces) {
    const RefusedFlagRow& row = GetParam();
    MakeFolder("from");
    MakeFile("from/marker");
    if (row.targetTaken) MakeFolder("to");
    int answer = -1;
    {
        const testing::RenameAt2Fails refused(row.refusal);
        answer = RenameNoReplace(PathOf("from"), PathOf("to"));
        EXPECT_EQ(refused.Calls(), 1);
    }
    EXPECT_EQ(answer, row.expected);
    const bool moved = row.expected == 0;
    EXPECT_EQ(QFileInfo::exists(PathOf("to/marker")), moved);
    EXPECT_EQ(QFileInfo::exists(PathOf("from/marker")), !moved);
    EXPECT_EQ(AllFolders(),
              row.targetTaken ? QStringList({"from", "to"}) : QStringList{moved ? "to" : "from"});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedFlag,
    ::testing::Values(RefusedFlagRow{"FlagRefusedTargetFree", EINVAL, false, 0},
                      RefusedFlagRow{"FlagRefusedTargetTaken", EINVAL, true, EEXIST},
                      RefusedFlagRow{"NoSystemCallTargetFree", ENOSYS, false, 0},
                      RefusedFlagRow{"NoSystemCallTargetTaken", ENOSYS, true, EEXIST},
                      // Any other refusal is the answer: no plain rename behind its back.
                      RefusedFlagRow{"NoRoomTargetFree", ENOSPC, false, ENOSPC}),
    [](const ::testing::TestParamInfo<RefusedFlagRow>& test) {
        return std::string(test.param.label);
    });

// --- One folder, two spellings: the plan, the run, the undo and its dry run agree ------------

/// A case change in a folder that answers as exfat-fuse: each spelling of a name has its own
/// inode number there, and the kernel refuses the direct rename with EEXIST.
struct SpellingRow {
    const char* label;
    std::vector<const char*> folders;  ///< made in the folder, each with a marker
    const char* from;
    const char* to;
    RowStatus status;   ///< what both the plan and the run give
    const char* after;  ///< the folders listed after the run
};

void PrintTo(const SpellingRow& row, std::ostream* out) { *out << row.label; }

class OneNameTwoSpellings : public TempTree, public ::testing::WithParamInterface<SpellingRow> {};

TEST_P(OneNameTwoSpellings, IsDecidedByWhatTheDiskShows) {
    const SpellingRow& row = GetParam();
    const QString folder = MakeFolder("d");
    for (const char* name : row.folders) {
        MakeFolder(QStringLiteral("d/") + QString::fromUtf8(name));
        MakeFile(QStringLiteral("d/%1/marker").arg(QString::fromUtf8(name)), name);
    }
    const QString from = folder + QString::fromUtf8(row.from) + u'/';
    const QString to = folder + QString::fromUtf8(row.to) + u'/';
    const testing::SpellingsOfOneName spellings(PathOf("d"));

    FolderList list;
    list.AppendInOrder({from});
    list.SetNewPath(1, to);
    const RenamePlan plan = PlanRenames(list.Rows());
    MoveRecorder recorder;
    const RenameRun run = ApplyRenames(list, {}, recorder.Attach(DefaultRenamePlatform()), {});
    ASSERT_EQ(plan.fates.size(), 1U);
    EXPECT_EQ(plan.fates[0].status, row.status);
    EXPECT_EQ(run.outcomes[0].fate.status, row.status);
    EXPECT_EQ(AllFolders(), QString::fromUtf8(row.after).split(u' '));
    if (row.status != RowStatus::Renamed) return;
    EXPECT_EQ(AllFiles(),
              QStringList{QStringLiteral("d/%1/marker").arg(QString::fromUtf8(row.to))});

    // Undone, the old name is free for the folder itself in its new spelling.
    const UndoResult dry = UndoMoves(recorder.Moves(), false);
    ASSERT_EQ(dry.outcomes.size(), 1U);
    EXPECT_EQ(dry.outcomes[0].status, UndoStatus::PutBack);
    const UndoResult undone = UndoMoves(recorder.Moves(), true);
    EXPECT_EQ(undone.outcomes[0].status, UndoStatus::PutBack);
    EXPECT_EQ(AllFolders(), (QStringList{"d", QStringLiteral("d/") + QString::fromUtf8(row.from)}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OneNameTwoSpellings,
    ::testing::Values(
        SpellingRow{"CaseChange", {"photos"}, "photos", "PHOTOS", RowStatus::Renamed, "d d/PHOTOS"},
        // Another folder holds the name in another spelling: still taken.
        SpellingRow{"AnotherFolder", {"x", "y"}, "y", "X", RowStatus::Taken, "d d/x d/y"}),
    [](const ::testing::TestParamInfo<SpellingRow>& test) {
        return std::string(test.param.label);
    });

TEST_F(TempTree, TwoFoldersThatDifferOnlyInCaseStayTwo) {
    // Where case is told apart, the other spelling is another folder, whatever its inode.
    MakeFolder("d/Photos");
    MakeFolder("d/PHOTOS");
    EXPECT_FALSE(SameEntry(PathOf("d/Photos"), PathOf("d/PHOTOS")));
    EXPECT_FALSE(FoldsCase(PathOf("d")));
}

}  // namespace
}  // namespace trellisane
