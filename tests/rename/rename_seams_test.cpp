// Renames on file systems this machine does not have, through the seam at renameat2: one that
// refuses the no-replace flag (NFS, FUSE, 9p, kernels without the call), and one that is full.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>  // completes TempTree's member for the fixtures made here
#include <cerrno>

#include "folders/folder_list.h"
#include "rename/start_renaming.h"
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
    [](const ::testing::TestParamInfo<RefusedFlagRow>& info) {
        return std::string(info.param.label);
    });

}  // namespace
}  // namespace trellisane
