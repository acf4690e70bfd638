// The naming rules of each driver, and a plan and a run that both keep to them.

#include "rename/naming_rules.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>  // completes TempTree's member for the fixtures made here

#include "folders/folder_list.h"
#include "rename/rename_plan.h"
#include "rename/rename_run.h"
#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

/// One driver, as a mount shows it.
struct Driver {
    const char* type;
    const char* options;
    const char* device;  ///< the file system on a FUSE block mount's device
};

constexpr Driver kNtfsFuse{"fuseblk", "rw,user_id=0,allow_other", "ntfs"};
constexpr Driver kExfatFuse{"fuseblk", "rw,user_id=0,allow_other", "exfat"};
constexpr Driver kNtfs3Windows{"ntfs3", "rw,windows_names", ""};
constexpr Driver kNtfs3{"ntfs3", "rw", ""};
constexpr Driver kVfat{"vfat", "rw,shortname=mixed", ""};
constexpr Driver kExfat{"exfat", "rw", ""};
constexpr Driver kExt4{"ext4", "rw", ""};
constexpr Driver kSshfs{"fuse.sshfs", "rw", ""};

struct RuleRow {
    const char* label;
    Driver driver;
    const char* name;
    const char* why;  ///< a word of the reason; nullptr: the name is taken as it is
};

void PrintTo(const RuleRow& row, std::ostream* out) { *out << row.label; }

class NamingRulesTable : public ::testing::TestWithParam<RuleRow> {};

TEST_P(NamingRulesTable, RefuseWhatTheDriverRefusesOrChanges) {
    const RuleRow& row = GetParam();
    const std::optional<NamingRules> rules =
        NamingRulesOf(QString::fromUtf8(row.driver.type), QString::fromUtf8(row.driver.options),
                      QString::fromUtf8(row.driver.device));
    const std::optional<QString> refusal =
        rules ? NamingRuleRefusal(*rules, QString::fromUtf8(row.name)) : std::nullopt;
    if (row.why == nullptr) {
        EXPECT_FALSE(refusal) << refusal.value_or(QString()).toStdString();
    } else {
        ASSERT_TRUE(refusal);
        EXPECT_TRUE(refusal->contains(QString::fromUtf8(row.why))) << refusal->toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NamingRulesTable,
    ::testing::Values(
        // NTFS through FUSE: Windows' rules whatever the mount options say.
        RuleRow{"NtfsTrailingBlank", kNtfsFuse, "Jan ", "ends with a blank"},
        RuleRow{"NtfsTrailingDot", kNtfsFuse, "Jan.", "ends with a dot"},
        RuleRow{"NtfsColon", kNtfsFuse, "a:b", "\":\""},
        RuleRow{"NtfsDevice", kNtfsFuse, "CON", "device name"},
        RuleRow{"NtfsDeviceAnyCaseAndExtension", kNtfsFuse, "com1.txt", "device name"},
        RuleRow{"NtfsNotADevice", kNtfsFuse, "CONSOLE", nullptr},
        RuleRow{"NtfsNotADeviceCom0", kNtfsFuse, "COM0", nullptr},
        RuleRow{"NtfsControl", kNtfsFuse, "a\tb", "control character"},
        RuleRow{"NtfsFine", kNtfsFuse, "Photos 2021", nullptr},
        RuleRow{"Ntfs3WindowsNames", kNtfs3Windows, "Jan ", "ends with a blank"},
        RuleRow{"Ntfs3Plain", kNtfs3, "Jan ", nullptr},
        // exfat-fuse takes a trailing blank, a trailing dot and CON, but not ':'.
        RuleRow{"ExfatFuseTrailingBlank", kExfatFuse, "Jan ", nullptr},
        RuleRow{"ExfatFuseTrailingDot", kExfatFuse, "Jan.", nullptr},
        RuleRow{"ExfatFuseDevice", kExfatFuse, "CON", nullptr},
        RuleRow{"ExfatFuseColon", kExfatFuse, "a:b", "\":\""},
        // The kernel's FAT drivers drop trailing dots without a word.
        RuleRow{"VfatTrailingDot", kVfat, "Jan..", "silently drop"},
        RuleRow{"VfatQuestionMark", kVfat, "why?", "\"?\""},
        RuleRow{"ExfatTrailingDot", kExfat, "Jan.", "silently drop"},
        RuleRow{"ExfatTrailingBlank", kExfat, "Jan ", nullptr},
        RuleRow{"Ext4", kExt4, "a:b. ", nullptr}, RuleRow{"Sshfs", kSshfs, "CON.", nullptr}),
    [](const ::testing::TestParamInfo<RuleRow>& test) { return std::string(test.param.label); });

using testing::TempTree;

TEST_F(TempTree, APlanAndARunBothRefuseWhatTheDriverWouldRefuse) {
    MakeFolder("Jan 01");
    MakeFolder("Feb 02");
    FolderList list;
    list.AppendInOrder({PathOf("Jan 01/"), PathOf("Feb 02/")});
    list.SetNewPath(1, PathOf("Jan /"));
    list.SetNewPath(2, PathOf("Feb/"));
    RenamePlatform platform = DefaultRenamePlatform();
    platform.refuseName = [](const QString&, const QString& name) {
        return NamingRuleRefusal(
            *NamingRulesOf(QStringLiteral("fuseblk"), {}, QStringLiteral("ntfs")), name);
    };

    const RenamePlan plan = PlanRenames(list.Rows(), platform);
    const RenameRun run = ApplyRenames(list, {}, platform);

    for (const RowFate& fate : {plan.fates[0], run.outcomes[0].fate}) {
        EXPECT_EQ(fate.status, RowStatus::Refused);
        EXPECT_EQ(fate.refusal, RefusalReason::NamingRule);
        EXPECT_TRUE(fate.detail.contains(QStringLiteral("blank"))) << fate.detail.toStdString();
    }
    EXPECT_TRUE(run.outcomes[0].Report().contains(QStringLiteral("ends with a blank")));
    EXPECT_EQ(plan.fates[1].status, RowStatus::Renamed);
    EXPECT_EQ(run.outcomes[1].fate.status, RowStatus::Renamed);
    EXPECT_EQ(AllFolders(), (QStringList{"Feb", "Jan 01"}));
}

}  // namespace
}  // namespace trellisane
