// Walk failures a real file system cannot be made to give on demand, through the seams at the
// system calls: a listing that fails with "not found" after the existence test passed (the
// folder went away, or became a file, in between), a read a signal interrupts, and names longer
// than Linux allows.

#include <gtest/gtest.h>

#include <QTemporaryDir>  // completes TempTree's member for the fixtures made here
#include <cerrno>

#include "folders/subfolder_walk.h"
#include "tests/support/syscall_seams.h"
#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

using testing::TempTree;

struct ListingFailureRow {
    const char* label;
    const char* failing;  ///< the folder whose listing fails, relative
    int error;
    QStringList expected;  ///< the walk from "s/" and "t/", relative
    int reports;           ///< error reports made
};

void PrintTo(const ListingFailureRow& row, std::ostream* out) { *out << row.label; }

class WalkListingFails : public TempTree,
                         public ::testing::WithParamInterface<ListingFailureRow> {};

TEST_P(WalkListingFails, NotFoundDropsTheFolderAnyOtherFailureKeepsIt) {
    const ListingFailureRow& row = GetParam();
    MakeFolder("s/v/inner");
    MakeFolder("t");
    QStringList folders{PathOf("s/"), PathOf("t/")};
    int reports = 0;
    WalkHooks hooks;
    hooks.report = [&reports](const QString&, int line) {
        EXPECT_EQ(line, 112);
        ++reports;
    };
    {
        const testing::ListingFails fails(PathOf(row.failing), row.error);
        GetSubDirectories2016(folders, true, hooks);
    }
    QStringList relative;
    for (const QString& folder : folders) relative << folder.mid(Root().size() + 1);
    EXPECT_EQ(relative, row.expected);
    EXPECT_EQ(reports, row.reports);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WalkListingFails,
    ::testing::Values(
        // A start folder stays whatever its tests say, unless its listing is refused so.
        ListingFailureRow{"StartNotFound", "s/", ENOENT, {"t/"}, 0},
        ListingFailureRow{"StartNotAFolder", "s/", ENOTDIR, {"t/"}, 0},
        ListingFailureRow{"SubFolderNotFound", "s/v/", ENOENT, {"s/", "t/"}, 0},
        ListingFailureRow{"SubFolderNotAFolder", "s/v/", ENOTDIR, {"s/", "t/"}, 0},
        ListingFailureRow{"SubFolderInputOutput", "s/v/", EIO, {"s/", "t/", "s/v/"}, 1}),
    [](const ::testing::TestParamInfo<ListingFailureRow>& test) {
        return std::string(test.param.label);
    });

using WalkInterrupted = TempTree;

TEST_F(WalkInterrupted, AReadASignalInterruptedIsMadeAgain) {
    MakeFolder("s/a/inner");
    MakeFolder("s/b");
    QStringList folders{PathOf("s/")};
    int reports = 0;
    WalkHooks hooks;
    hooks.report = [&reports](const QString&, int) { ++reports; };
    {
        const testing::ListingsInterrupted interrupted;
        GetSubDirectories2016(folders, true, hooks);
    }
    QStringList relative;
    for (const QString& folder : folders) relative << folder.mid(Root().size() + 1);
    relative.sort();
    EXPECT_EQ(relative.join(u' ').toStdString(), "s/ s/a/ s/a/inner/ s/b/");
    EXPECT_EQ(reports, 0);
}

struct LongNameRow {
    const char* label;
    int length;  ///< of the extra sub-folder's name, in characters
    bool listed;
};

void PrintTo(const LongNameRow& row, std::ostream* out) { *out << row.label; }

class WalkLongNames : public TempTree, public ::testing::WithParamInterface<LongNameRow> {};

TEST_P(WalkLongNames, TakesOnlyNamesShorterThan260Characters) {
    MakeFolder("s/real");
    const QByteArray name(GetParam().length, 'n');
    QStringList folders{PathOf("s/")};
    {
        const testing::ExtraFolderEntry extra(PathOf("s"), name);
        GetSubDirectories2016(folders, true);
    }
    QStringList relative;
    for (const QString& folder : folders) {
        relative << folder.mid(Root().size() + 1).replace(QString::fromLatin1(name), "<long>");
    }
    relative.sort();
    QStringList expected{"s/", "s/real/"};
    if (GetParam().listed) expected << "s/<long>/";
    expected.sort();
    EXPECT_EQ(relative.join(u' ').toStdString(), expected.join(u' ').toStdString());
}

INSTANTIATE_TEST_SUITE_P(Cases, WalkLongNames,
                         ::testing::Values(LongNameRow{"Length259", 259, true},
                                           LongNameRow{"Length260", 260, false},
                                           LongNameRow{"Length300", 300, false}),
                         [](const ::testing::TestParamInfo<LongNameRow>& test) {
                             return std::string(test.param.label);
                         });

}  // namespace
}  // namespace trellisane
