#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>  // completes TempTree's member for the fixtures made here
#include <cerrno>
#include <set>

#include "folders/folder_entries.h"
#include "folders/folder_list.h"
#include "rename/rename_run.h"
#include "shell/error_text.h"
#include "tests/rename/row_fates.h"
#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

using testing::TempTree;

// --- Never replacing, with the flag and through the fallback --------------------------------

/// What stands at the target before the rename.
enum class Target { Free, EmptyFolder, FullFolder, File, DanglingLink, SourceMissing };

struct NoReplaceCase {
    const char* name;
    Target target;
    int expected;  ///< errno, or 0
};

/// Failures name the row of the table.
void PrintTo(const NoReplaceCase& c, std::ostream* out) { *out << c.name; }

using RenameFn = int (*)(const QString&, const QString&);

class NoReplace : public TempTree,
                  public ::testing::WithParamInterface<std::tuple<RenameFn, NoReplaceCase>> {};

TEST_P(NoReplace, RefusesEveryTakenTarget) {
    const auto [rename, c] = GetParam();
    if (c.target != Target::SourceMissing) {
        MakeFolder(QStringLiteral("from"));
        MakeFile(QStringLiteral("from/marker"));
    }
    const QString to = PathOf(QStringLiteral("to"));
    switch (c.target) {
        case Target::Free:
        case Target::SourceMissing:
            break;
        case Target::EmptyFolder:
            MakeFolder(QStringLiteral("to"));
            break;
        case Target::FullFolder:
            MakeFolder(QStringLiteral("to"));
            MakeFile(QStringLiteral("to/other"));
            break;
        case Target::File:
            MakeFile(QStringLiteral("to"));
            break;
        case Target::DanglingLink:
            ASSERT_TRUE(QFile::link(PathOf(QStringLiteral("nowhere")), to));
            break;
    }
    const QStringList before = AllFolders() + AllFiles();

    EXPECT_EQ(rename(PathOf(QStringLiteral("from")), to), c.expected);

    if (c.expected == 0) {
        EXPECT_TRUE(QFileInfo::exists(PathOf(QStringLiteral("to/marker"))));
        EXPECT_FALSE(QFileInfo::exists(PathOf(QStringLiteral("from"))));
    } else {
        EXPECT_EQ(AllFolders() + AllFiles(), before);
        EXPECT_EQ(QFileInfo(to).isSymLink(), c.target == Target::DanglingLink);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NoReplace,
    ::testing::Combine(
        ::testing::Values(&RenameNoReplace, &RenameCheckThenRename),
        ::testing::Values(NoReplaceCase{"Free", Target::Free, 0},
                          // rename(2) would replace it silently.
                          NoReplaceCase{"EmptyFolder", Target::EmptyFolder, EEXIST},
                          NoReplaceCase{"FullFolder", Target::FullFolder, EEXIST},
                          NoReplaceCase{"File", Target::File, EEXIST},
                          // Taken, though following it finds nothing.
                          NoReplaceCase{"DanglingLink", Target::DanglingLink, EEXIST},
                          NoReplaceCase{"SourceMissing", Target::SourceMissing, ENOENT})),
    [](const ::testing::TestParamInfo<std::tuple<RenameFn, NoReplaceCase>>& test) {
        const bool fallback = std::get<0>(test.param) == &RenameCheckThenRename;
        return std::string(fallback ? "Fallback" : "NoReplaceFlag") + std::get<1>(test.param).name;
    });

TEST(RenameNoReplaceTest, RefusesANulBeforeTheDisk) {
    const QString cut = QStringLiteral("/tmp/a") + QChar(u'\0') + QStringLiteral("b");
    EXPECT_EQ(RenameNoReplace(cut, QStringLiteral("/tmp/x")), EINVAL);
    EXPECT_EQ(RenameNoReplace(QStringLiteral("/tmp/x"), cut), EINVAL);
}

// --- A case-only change on a case-insensitive file system, through the seam ------------------

/// Which of the platform's renames fail with EACCES, counted from 1 (the first is the direct
/// attempt, refused because the file system sees the new name as taken).
struct CaseOnlyCase {
    const char* name;
    std::set<int> failingCalls;
    const char* description;  ///< nullptr when the row succeeds
    const char* folderAfter;  ///< "" for the temporary name
};

/// Failures name the row of the table.
void PrintTo(const CaseOnlyCase& c, std::ostream* out) { *out << c.name; }

class CaseOnlyThroughSeam : public TempTree, public ::testing::WithParamInterface<CaseOnlyCase> {
  protected:
    /// The real disk, seen as a case-insensitive file system would show it.
    RenamePlatform CaseInsensitive(const std::set<int>& failingCalls) {
        RenamePlatform platform = testing::CaseInsensitiveView();
        platform.renameNoReplace = [this, failingCalls, inner = platform.renameNoReplace](
                                       const QString& from, const QString& to) {
            return failingCalls.count(++m_calls) != 0 ? EACCES : inner(from, to);
        };
        return platform;
    }

    int m_calls = 0;
};

TEST_P(CaseOnlyThroughSeam, GoesThroughATemporaryName) {
    const CaseOnlyCase& c = GetParam();
    MakeFolder(QStringLiteral("photos"));
    MakeFile(QStringLiteral("photos/marker"));
    FolderList list;
    list.AppendInOrder({PathOf(QStringLiteral("photos/"))});
    list.SetNewPath(1, PathOf(QStringLiteral("PHOTOS/")));

    const RenameRun run = ApplyRenames(list, {}, CaseInsensitive(c.failingCalls));

    ASSERT_EQ(AllFolders().size(), 1);
    const QString folder = AllFolders().first();
    if (*c.folderAfter == '\0') {
        EXPECT_TRUE(folder.startsWith(QStringLiteral(".trellisane-rename-")))
            << folder.toStdString();
    } else {
        EXPECT_EQ(folder, QString::fromUtf8(c.folderAfter));
    }
    EXPECT_EQ(AllFiles(), QStringList{folder + QStringLiteral("/marker")});
    EXPECT_EQ(list.Row(1).current, PathOf(folder) + u'/');  // the list shows where it is
    if (c.description == nullptr) {
        EXPECT_EQ(run.outcomes[0].fate.status, RowStatus::Renamed);
    } else {
        EXPECT_EQ(run.outcomes[0].fate.refusal, RefusalReason::NoPermission);
        EXPECT_EQ(DescribeError(run.outcomes[0].fate.error), QString::fromUtf8(c.description));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaseOnlyThroughSeam,
    ::testing::Values(CaseOnlyCase{"Succeeds", {}, nullptr, "PHOTOS"},
                      CaseOnlyCase{"FirstStepFails", {2}, "Permission denied", "photos"},
                      // The folder is put back under its old name.
                      CaseOnlyCase{"SecondStepFails", {3}, "Permission denied", "photos"},
                      // It cannot be put back either: the row shows the temporary name.
                      CaseOnlyCase{"SecondStepAndReturnFail", {3, 4}, "Permission denied", ""}),
    [](const ::testing::TestParamInfo<CaseOnlyCase>& test) {
        return std::string(test.param.name);
    });

// --- The same on a real FAT file system, where this machine can mount one --------------------

/// Runs a tool quietly: its exit code, or -1 when it could not run or crashed.
int RunQuietly(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) return -1;
    return process.exitCode();
}

class CaseOnlyOnFat : public TempTree {
  protected:
    void SetUp() override {
        TempTree::SetUp();
        if (::geteuid() != 0) GTEST_SKIP() << "mounting needs root";
        const QString mkfs = QStandardPaths::findExecutable(
            QStringLiteral("mkfs.fat"),
            {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"), QStringLiteral("/usr/bin")});
        if (mkfs.isEmpty()) GTEST_SKIP() << "mkfs.fat (dosfstools) is not installed";

        QFile image(PathOf(QStringLiteral("fat.img")));
        ASSERT_TRUE(image.open(QIODevice::WriteOnly));
        ASSERT_TRUE(image.resize(qint64{8} * 1024 * 1024));
        image.close();
        if (RunQuietly(mkfs, {image.fileName()}) != 0) {
            GTEST_SKIP() << "mkfs.fat failed";
        }
        m_mount = MakeFolder(QStringLiteral("mnt"));
        if (RunQuietly(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("loop"),
                                                 image.fileName(), m_mount}) != 0) {
            GTEST_SKIP() << "this machine does not allow a loop mount";
        }
        m_mounted = true;
    }

    void TearDown() override {
        if (m_mounted) {
            if (RunQuietly(QStringLiteral("umount"), {m_mount}) != 0) {
                RunQuietly(QStringLiteral("umount"), {QStringLiteral("-l"), m_mount});
            }
        }
        TempTree::TearDown();
    }

    QStringList Below(const QString& folder) const {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                      QDir::Name);
    }

    QString m_mount;
    bool m_mounted = false;
};

TEST_F(CaseOnlyOnFat, ChangesOnlyTheCaseAndStillRefusesAnotherFolder) {
    for (const char* name : {"photos", "x", "y"}) {
        const QString folder = QStringLiteral("mnt/") + QString::fromUtf8(name);
        MakeFolder(folder);
        MakeFile(folder + QStringLiteral("/marker"));
    }
    FolderList list;
    list.AppendInOrder({m_mount + QStringLiteral("photos/"), m_mount + QStringLiteral("y/"),
                        m_mount + QStringLiteral("x/")});
    list.SetNewPath(1, m_mount + QStringLiteral("PHOTOS/"));
    list.SetNewPath(2, m_mount + QStringLiteral("X/"));  // "x" is another folder here
    list.SetNewPath(3, m_mount + QStringLiteral("x/"));

    const RenameRun run = ApplyRenames(list, {});

    EXPECT_EQ(run.outcomes[0].fate.status, RowStatus::Renamed);
    EXPECT_EQ(run.outcomes[1].fate.status, RowStatus::Taken);
    EXPECT_EQ(run.outcomes[2].fate.status, RowStatus::Renamed);
    EXPECT_EQ(Below(m_mount), (QStringList{"PHOTOS", "x", "y"}));
    for (const char* name : {"PHOTOS", "x", "y"}) {
        EXPECT_EQ(Below(m_mount + QString::fromUtf8(name)), QStringList{"marker"}) << name;
    }
    EXPECT_EQ(list.Row(1).current, m_mount + QStringLiteral("PHOTOS/"));
    EXPECT_EQ(list.Row(2).current, m_mount + QStringLiteral("y/"));
}

}  // namespace
}  // namespace trellisane
