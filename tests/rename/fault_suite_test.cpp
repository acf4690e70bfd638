// The fault suite: real folders in temporary trees, listed through the walk, previewed, then
// renamed while something goes wrong. Each folder holds a marker file naming the folder it was
// made as; every case counts the folders and markers before and after (read with raw system
// calls, so names that are not UTF-8 are counted too) and checks that nothing is lost and that
// every row names where its folder is, or failed saying why.

#include <fcntl.h>
#include <ftw.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>  // completes TempTree's member for the fixtures made here
#include <cerrno>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "engine/preview.h"
#include "folders/folder_list.h"
#include "folders/subfolder_walk.h"
#include "rename/rename_run.h"
#include "tests/folders/unprivileged.h"
#include "tests/support/syscall_seams.h"
#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

using testing::TempTree;

/// What the disk holds below a root: marker text -> the folder holding it (relative, raw
/// bytes), and the number of folders.
struct Census {
    std::map<QByteArray, QByteArray> markers;
    int folders = 0;
};

Census* g_census = nullptr;
QByteArray g_censusRoot;

int CountEntry(const char* path, const struct stat*, int type, FTW*) {
    const QByteArray relative = QByteArray(path).mid(g_censusRoot.size() + 1);
    if (type == FTW_D || type == FTW_DNR) {
        if (!relative.isEmpty()) ++g_census->folders;
    } else if (type == FTW_F && relative.endsWith("marker")) {
        QByteArray content;
        // A raw name Qt cannot decode is read through the C library.
        if (FILE* raw = std::fopen(path, "rb")) {
            char buffer[512];
            const size_t n = std::fread(buffer, 1, sizeof buffer, raw);
            content = QByteArray(buffer, static_cast<qsizetype>(n));
            std::fclose(raw);
        }
        g_census->markers[content] = relative.chopped(static_cast<qsizetype>(sizeof "/marker") - 1);
    }
    return 0;
}

class FaultSuite : public TempTree {
  protected:
    QByteArray Root8() const { return QFile::encodeName(Root()); }

    /// Makes the folder `relative` (raw bytes) with its marker; missing parents are made
    /// without one.
    void Make(const QByteArray& relative) {
        const QByteArray path = Root8() + '/' + relative;
        if (::mkdir(path.constData(), 0755) != 0) {
            QByteArray parent = Root8();
            for (const QByteArray& part : relative.split('/')) {
                parent += '/' + part;
                if (::mkdir(parent.constData(), 0755) != 0 && errno != EEXIST) {
                    ADD_FAILURE() << "mkdir " << parent.toStdString() << ": " << strerror(errno);
                    return;
                }
            }
        }
        FILE* marker = std::fopen((path + "/marker").constData(), "wb");
        ASSERT_NE(marker, nullptr);
        std::fwrite(relative.constData(), 1, static_cast<size_t>(relative.size()), marker);
        std::fclose(marker);
    }

    Census Count() const {
        Census census;
        g_census = &census;
        g_censusRoot = Root8();
        nftw(g_censusRoot.constData(), CountEntry, 32, FTW_PHYS);
        g_census = nullptr;
        return census;
    }

    void TearDown() override {
        // Qt cannot remove names that are not UTF-8; the whole tree goes through the shell.
        QProcess::execute(QStringLiteral("chmod"), {QStringLiteral("-R"), "u+rwx", Root()});
        QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), Root() + "/t"});
        TempTree::TearDown();
    }

    /// The rows of one add of `start` (relative) with its sub-folders, previewed with
    /// `operation`; the prompts answer `answers` in order.
    FolderList ListAndPreview(const QString& start, Operation operation,
                              const QStringList& answers = {}) const {
        QStringList gathered{PathOf(start) + u'/'};
        GetSubDirectories2016(gathered, true);
        FolderList list;
        list.AppendBatch(gathered);
        bool busy = false;
        qsizetype asked = 0;
        PreviewHooks hooks;
        hooks.selectorText = [operation] { return EntryOf(operation)->displayText; };
        hooks.ask = [&](const QString&) { return answers.value(asked++); };
        hooks.report = [](const QString& description, int line) {
            ADD_FAILURE() << "preview report at " << line << ": " << description.toStdString();
        };
        EXPECT_TRUE(PreviewRename(busy, list, hooks));
        return list;
    }

    /// Each row's folder, as its marker names it; "" where the row's path holds none.
    std::vector<QByteArray> MarkersOf(const FolderList& list) const {
        std::vector<QByteArray> markers;
        for (const FolderRow& row : list.Rows()) {
            QFile file(row.current + QStringLiteral("marker"));
            markers.push_back(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
        }
        return markers;
    }

    /// The checks every case shares: the run leaves the markers and the number of folders of
    /// `before` (taken just before it), and every row that succeeded, or failed with a folder
    /// still where it was listed, shows the folder it was listed for (`rowMarkers`).
    void ExpectNothingLost(const Census& before, const std::vector<QByteArray>& rowMarkers,
                           const FolderList& list, const RenameRun& run) const {
        const Census after = Count();
        std::vector<QByteArray> left, found;
        for (const auto& entry : before.markers) left.push_back(entry.first);
        for (const auto& entry : after.markers) found.push_back(entry.first);
        EXPECT_EQ(found, left) << "markers lost or made";
        EXPECT_EQ(after.folders, before.folders);

        const std::vector<QByteArray> now = MarkersOf(list);
        ASSERT_EQ(run.outcomes.size(), static_cast<size_t>(list.Count()));
        for (size_t i = 0; i < now.size(); ++i) {
            SCOPED_TRACE(list.Row(static_cast<qsizetype>(i + 1)).current.toStdString());
            EXPECT_TRUE(list.Row(static_cast<qsizetype>(i + 1)).newPath.isEmpty());
            if (run.outcomes[i].ok()) {
                EXPECT_EQ(now[i], rowMarkers[i]) << "a row that succeeded names another folder";
            } else {
                EXPECT_FALSE(run.outcomes[i].Report().isEmpty());
                // A failed row keeps its path; its folder is there unless someone else moved it.
                if (!now[i].isEmpty()) {
                    EXPECT_EQ(now[i], rowMarkers[i]);
                }
            }
        }
    }

    /// What a failed row's report begins with: the system's description of the error, or the
    /// run's own sentence for a check of its own.
    static QString Lead(const RowOutcome& outcome) {
        const QString report = outcome.Report();
        return report.left(report.indexOf(QStringLiteral(": \"")));
    }

    /// The failure descriptions of the run, by the row's path before the run (relative).
    static std::map<QString, QString> Failures(const RenameRun& run, const QString& root) {
        std::map<QString, QString> failures;
        for (const RowOutcome& outcome : run.outcomes) {
            if (!outcome.ok()) failures[outcome.oldPath.mid(root.size() + 1)] = Lead(outcome);
        }
        return failures;
    }
};

// --- Something changes between the preview and Start Renaming --------------------------------

struct MeanwhileRow {
    const char* label;
    std::function<void(const QString& root)> meanwhile;  ///< what another program does
    std::map<QString, QString> failures;                 ///< row (relative) -> description
    QStringList after;                                   ///< every folder afterwards, sorted
};

void PrintTo(const MeanwhileRow& row, std::ostream* out) { *out << row.label; }

class Meanwhile : public FaultSuite, public ::testing::WithParamInterface<MeanwhileRow> {};

TEST_P(Meanwhile, NothingIsLostAndEveryRowSaysWhatHappened) {
    const MeanwhileRow& row = GetParam();
    for (const char* folder : {"t/p", "t/p/a", "t/p/b"}) Make(folder);
    FolderList list = ListAndPreview("t/p", Operation::OpAddToEnd, {"_x"});
    ASSERT_EQ(list.Count(), 3);
    const std::vector<QByteArray> rowMarkers = MarkersOf(list);

    row.meanwhile(Root() + "/t/");
    const Census before = Count();
    const RenameRun run = ApplyRenames(list, {});

    EXPECT_EQ(Failures(run, Root()), row.failures);
    ExpectNothingLost(before, rowMarkers, list, run);
    QStringList after = AllFolders();
    EXPECT_EQ(after, row.after);
}

const QString kNotFound = QStringLiteral("No such file or directory");

INSTANTIATE_TEST_SUITE_P(
    Cases, Meanwhile,
    ::testing::Values(
        MeanwhileRow{"ListedFolderDeleted",
                     [](const QString& tree) { QDir(tree + "p/a").removeRecursively(); },
                     {{"t/p/a/", kNotFound}},
                     {"t", "t/p_x", "t/p_x/b_x"}},
        MeanwhileRow{"ListedFolderRenamedByAnother",
                     [](const QString& tree) { QDir().rename(tree + "p/a", tree + "p/z"); },
                     {{"t/p/a/", kNotFound}},
                     {"t", "t/p_x", "t/p_x/b_x", "t/p_x/z"}},
        MeanwhileRow{"TargetNameTakenByAnother",
                     [](const QString& tree) { QDir().mkdir(tree + "p/a_x"); },
                     {{"t/p/a/", QStringLiteral("File exists")}},
                     {"t", "t/p_x", "t/p_x/a", "t/p_x/a_x", "t/p_x/b_x"}},
        // Every row's path is gone: each fails, and the folders stay under the parent's new name.
        MeanwhileRow{"ParentRenamedByAnother",
                     [](const QString& tree) { QDir().rename(tree + "p", tree + "q"); },
                     {{"t/p/a/", kNotFound}, {"t/p/b/", kNotFound}, {"t/p/", kNotFound}},
                     {"t", "t/q", "t/q/a", "t/q/b"}}),
    [](const ::testing::TestParamInfo<MeanwhileRow>& test) {
        return std::string(test.param.label);
    });

// --- Permissions, as a user without root's powers -------------------------------------------

constexpr unsigned kNobody = 65534;
constexpr unsigned kSomeoneElse = 65533;

struct PermissionRow {
    const char* label;
    mode_t parentMode;
    unsigned parentOwner;
    unsigned folderOwner;
    const char* failure;
};

void PrintTo(const PermissionRow& row, std::ostream* out) { *out << row.label; }

class Permissions : public FaultSuite, public ::testing::WithParamInterface<PermissionRow> {};

TEST_P(Permissions, RefusedRenameLeavesTheFolderAndSaysWhy) {
    const PermissionRow& row = GetParam();
    Make("t/p/a");
    FolderList list;
    list.AppendInOrder({PathOf("t/p/a/")});
    list.SetNewPath(1, PathOf("t/p/a_x/"));
    const Census before = Count();
    // The user must reach the tree; the parent is set up as the row asks.
    ASSERT_EQ(::chmod(Root8().constData(), 0755), 0);
    ASSERT_EQ(::chmod((Root8() + "/t").constData(), 0755), 0);
    const QByteArray parent = Root8() + "/t/p";
    const QByteArray folder = parent + "/a";
    ASSERT_EQ(::chown(parent.constData(), row.parentOwner, row.parentOwner), 0);
    ASSERT_EQ(::chown(folder.constData(), row.folderOwner, row.folderOwner), 0);
    ASSERT_EQ(::chmod(parent.constData(), row.parentMode), 0);
    if (!testing::UserCanReach(kNobody, kNobody, Root8())) {
        ::chmod(parent.constData(), 0755);
        GTEST_SKIP() << "an ordinary user cannot reach " << Root8().constData()
                     << " on this machine (a folder on the way shuts other users out)";
    }

    const auto output = testing::RunAsUser(kNobody, kNobody, [&list] {
        const RenameRun run = ApplyRenames(list, {});
        return (run.outcomes[0].ok() ? QByteArray("ok") : Lead(run.outcomes[0]).toUtf8()) + '\n' +
               list.Row(1).current.toUtf8();
    });
    ::chmod(parent.constData(), 0755);
    ASSERT_TRUE(output.has_value()) << "could not run as an unprivileged user";
    // The failure really happened, for the reason the permissions give.
    EXPECT_EQ(*output, QByteArray(row.failure) + '\n' + PathOf("t/p/a/").toUtf8());
    EXPECT_EQ(Count().markers, before.markers);
    EXPECT_EQ(AllFolders(), (QStringList{"t", "t/p", "t/p/a"}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Permissions,
    ::testing::Values(PermissionRow{"ReadOnlyParent", 0555, kNobody, kNobody, "Permission denied"},
                      // Anyone may write in the parent, but only an entry's owner may rename it.
                      PermissionRow{"StickyParentOfSomeoneElse", 01777, 0, kSomeoneElse,
                                    "Operation not permitted"}),
    [](const ::testing::TestParamInfo<PermissionRow>& test) {
        return std::string(test.param.label);
    });

// --- Names ------------------------------------------------------------------------------------

const QByteArray kLongest(255, 'n');  // the most one name may take
const QByteArray kLongest2 = QByteArray(254, 'm');

TEST_F(FaultSuite, NamesWithSpecialCharactersAndTheLongestNamesAreRenamedWhole) {
    for (const QByteArray& name : {QByteArray("a|b"), QByteArray("back\\slash"),
                                   QByteArray("  lead"), QByteArray("trail  "), kLongest}) {
        Make("t/p/" + name);
    }
    FolderList list = ListAndPreview("t/p", Operation::OpUpperCase);
    ASSERT_EQ(list.Count(), 6);
    const std::vector<QByteArray> rowMarkers = MarkersOf(list);
    const Census before = Count();
    const RenameRun run = ApplyRenames(list, {});
    EXPECT_TRUE(Failures(run, Root()).empty());
    ExpectNothingLost(before, rowMarkers, list, run);
    EXPECT_EQ(AllFolders(), (QStringList{"t", "t/P", "t/P/  LEAD", "t/P/A|B", "t/P/BACK\\SLASH",
                                         "t/P/" + QString(255, u'N'), "t/P/TRAIL  "}));
}

TEST_F(FaultSuite, NameThatOutgrowsTheLimitFailsAndTheOthersGoOn) {
    Make("t/p/" + kLongest2);
    Make("t/p/short");
    FolderList list = ListAndPreview("t/p", Operation::OpAddToEnd, {"xy"});
    const std::vector<QByteArray> rowMarkers = MarkersOf(list);
    const Census before = Count();
    const RenameRun run = ApplyRenames(list, {});
    EXPECT_EQ(Failures(run, Root()),
              (std::map<QString, QString>{
                  {"t/p/" + QString::fromLatin1(kLongest2) + "/", "File name too long"}}));
    ExpectNothingLost(before, rowMarkers, list, run);
    EXPECT_EQ(AllFolders(), (QStringList{"t", "t/pxy", "t/pxy/" + QString::fromLatin1(kLongest2),
                                         "t/pxy/shortxy"}));
}

TEST_F(FaultSuite, NamesTheWalkSkipsAreLeftUntouchedWithEverythingBeneathThem) {
    const std::vector<QByteArray> skipped{"cr\rname", "lf\nname", "tab\tname", "bad\xff\xfe"};
    Make("t/p/plain");
    for (const QByteArray& name : skipped) {
        Make("t/p/" + name);
        Make("t/p/" + name + "/inner");
    }
    FolderList list = ListAndPreview("t/p", Operation::OpUpperCase);
    QStringList listed;
    for (const FolderRow& row : list.Rows()) listed << row.current.mid(Root().size() + 1);
    EXPECT_EQ(listed, (QStringList{"t/p/plain/", "t/p/"}));
    const std::vector<QByteArray> rowMarkers = MarkersOf(list);
    const Census before = Count();

    const RenameRun run = ApplyRenames(list, {});
    EXPECT_TRUE(Failures(run, Root()).empty());
    ExpectNothingLost(before, rowMarkers, list, run);
    // They moved only with their parent: same names, same contents.
    const Census after = Count();
    for (const QByteArray& name : skipped) {
        EXPECT_EQ(after.markers.at("t/p/" + name + "/inner"), "t/P/" + name + "/inner");
        EXPECT_EQ(after.markers.at("t/p/" + name), "t/P/" + name);
    }
}

/// Runs a tool quietly: its exit code, or -1 when it could not run or crashed.
int RunQuietly(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) return -1;
    return process.exitCode();
}

/// Unmounts `at` when it goes, lazily if it is busy.
struct Unmount {
    QString at;
    ~Unmount() {
        if (!at.isEmpty() && RunQuietly("umount", {at}) != 0) RunQuietly("umount", {"-l", at});
    }
};

// --- Links, depth and breadth -------------------------------------------------------------------

TEST_F(FaultSuite, LinksAreRenamedAsLinksAndWhatTheyPointAtIsLeftAlone) {
    Make("t/s/a");
    Make("t/outside/o");
    ASSERT_EQ(::symlink((Root8() + "/t/s").constData(), (Root8() + "/t/s/a/loop").constData()), 0);
    ASSERT_EQ(::symlink((Root8() + "/t/outside").constData(), (Root8() + "/t/s/away").constData()),
              0);
    FolderList list = ListAndPreview("t/s", Operation::OpAddToEnd, {"_x"});
    ASSERT_EQ(list.Count(), 4);  // s/a/loop, s/a, s/away, s
    const Census before = Count();
    const RenameRun run = ApplyRenames(list, {});
    EXPECT_TRUE(Failures(run, Root()).empty());
    EXPECT_EQ(Count().markers, (std::map<QByteArray, QByteArray>{{"t/outside/o", "t/outside/o"},
                                                                 {"t/s/a", "t/s_x/a_x"}}));
    EXPECT_EQ(Count().folders, before.folders);
    EXPECT_EQ(QFile::symLinkTarget(PathOf("t/s_x/away_x")), PathOf("t/outside"));
    EXPECT_EQ(QFile::symLinkTarget(PathOf("t/s_x/a_x/loop_x")), PathOf("t/s"));
    EXPECT_EQ(list.Row(list.Count()).current, PathOf("t/s_x/"));
}

TEST_F(FaultSuite, TheDeepestChainTheWalkTakesIsRenamedInnermostFirst) {
    // One-letter names until the path reaches the walk's bound of 260 characters, and a few
    // beyond it, which are listed by their parent but not walked.
    QByteArray chain = "t/c";
    while (Root8().size() + chain.size() < 270) chain += "/c";
    Make(chain);
    FolderList list = ListAndPreview("t/c", Operation::OpUpperCase);
    const std::vector<QByteArray> rowMarkers = MarkersOf(list);
    const Census before = Count();
    const RenameRun run = ApplyRenames(list, {});
    EXPECT_TRUE(Failures(run, Root()).empty());
    ExpectNothingLost(before, rowMarkers, list, run);
    // The deepest row is the first folder at the bound, listed by a parent below it.
    const QString deepest = list.Row(1).current;
    EXPECT_GE(deepest.size(), 260);
    EXPECT_LT(deepest.lastIndexOf(u'/', -2) + 1, 260);
    // Every listed folder is renamed, the folders beyond the bound keep their names: along the
    // innermost folder's path, the upper-case names are exactly the rows.
    qsizetype upper = 0;
    for (const QByteArray& part : Count().markers.rbegin()->second.split('/')) {
        if (part == "C") ++upper;
    }
    EXPECT_EQ(upper, list.Count());
    EXPECT_GT(Count().markers.rbegin()->first.count('/'), list.Count());
}

TEST_F(FaultSuite, HundredThousandSubFoldersAreAllRenamed) {
    constexpr int kCount = 100000;
    // The case is about the walk and the run, not the disk: where this machine allows, the tree
    // lives on a memory file system, which makes and removes 200,000 entries ten times faster.
    ASSERT_TRUE(QDir().mkpath(PathOf("t")));
    Unmount unmount;
    if (::geteuid() == 0 &&
        RunQuietly("mount", {"-t", "tmpfs", "-o", "size=1g", "tmpfs", PathOf("t")}) == 0) {
        unmount.at = PathOf("t");
    }
    Make("t/p");
    for (int i = 0; i < kCount; ++i) Make("t/p/f" + QByteArray::number(i));
    FolderList list = ListAndPreview("t/p", Operation::OpAddToBeginning, {"x"});
    ASSERT_EQ(list.Count(), kCount + 1);
    const Census before = Count();
    const RenameRun run = ApplyRenames(list, {});
    EXPECT_TRUE(Failures(run, Root()).empty());
    const Census after = Count();
    EXPECT_EQ(after.folders, before.folders);
    ASSERT_EQ(after.markers.size(), before.markers.size());
    qsizetype misplaced = 0;
    for (const auto& [marker, folder] : after.markers) {
        const qsizetype cut = marker.lastIndexOf('/') + 1;
        const QByteArray expected = marker == "t/p" ? "t/xp" : "t/xp/x" + marker.mid(cut);
        if (folder != expected) ++misplaced;
    }
    EXPECT_EQ(misplaced, 0);
    EXPECT_EQ(list.Row(1).current.left(PathOf("t/xp/xf").size()), PathOf("t/xp/xf"));
    EXPECT_EQ(list.Row(list.Count()).current, PathOf("t/xp/"));
}

// --- A full disk --------------------------------------------------------------------------------

/// Writes `path` until the file system has no block left for it. Blocks held back for delayed
/// allocation come free at each sync, so it writes until a write right after a sync fails.
bool FillUp(const QByteArray& path) {
    const int file = ::open(path.constData(), O_WRONLY | O_CREAT, 0644);
    if (file < 0) return false;
    const QByteArray block(1024, 'f');
    for (int round = 0; round < 64; ++round) {
        qsizetype written = 0;
        while (::write(file, block.constData(), static_cast<size_t>(block.size())) > 0) {
            ++written;
        }
        ::fsync(file);
        if (written == 0) break;
    }
    ::close(file);
    return true;
}

TEST_F(FaultSuite, FullExt4ImageRefusesARenameThatNeedsRoomAndLosesNothing) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting an ext4 image needs root";
    const QString mkfs = QStandardPaths::findExecutable(
        QStringLiteral("mkfs.ext4"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    if (mkfs.isEmpty()) GTEST_SKIP() << "mkfs.ext4 (e2fsprogs) is not installed";
    QFile image(PathOf("ext4.img"));
    ASSERT_TRUE(image.open(QIODevice::WriteOnly));
    ASSERT_TRUE(image.resize(qint64{1024} * 1024));
    image.close();
    ASSERT_EQ(RunQuietly(mkfs, {"-q", "-F", "-b", "1024", "-N", "1024", image.fileName()}), 0);
    const QString mount = PathOf("t");
    ASSERT_TRUE(QDir().mkpath(mount));
    if (RunQuietly("mount", {"-o", "loop", image.fileName(), mount}) != 0) {
        GTEST_SKIP() << "this machine does not allow a loop mount (the seam test covers it)";
    }
    const Unmount unmount{mount};

    Make("t/p/a");
    // Fill every block, then the parent's own block with entries (empty files need no block)
    // until the next entry would need a new one.
    ASSERT_TRUE(FillUp(Root8() + "/t/filler"));
    const QByteArray longName(200, 'l');
    int entries = 0;
    for (; entries < 10000; ++entries) {
        const QByteArray path = Root8() + "/t/p/" + QByteArray::number(entries) + longName;
        const int file = ::open(path.constData(), O_WRONLY | O_CREAT, 0644);
        if (file < 0) break;
        ::close(file);
    }
    ASSERT_EQ(errno, ENOSPC);
    struct statvfs room {};
    ASSERT_EQ(::statvfs((Root8() + "/t").constData(), &room), 0);
    ASSERT_GT(room.f_ffree, 0u) << "the entries ran out of inodes, not of room";
    FolderList list;
    list.AppendInOrder({PathOf("t/p/a/")});
    list.SetNewPath(1, PathOf("t/p/a") + QString(240, u'x') + u'/');
    const std::vector<QByteArray> rowMarkers = MarkersOf(list);
    const Census before = Count();
    const RenameRun run = ApplyRenames(list, {});
    ASSERT_FALSE(run.outcomes[0].ok()) << "the image still had room; the case did not happen";
    EXPECT_EQ(Lead(run.outcomes[0]), "No space left on device");
    ExpectNothingLost(before, rowMarkers, list, run);
}

TEST_F(FaultSuite, FullDiskThroughTheSeamLosesNothing) {
    Make("t/p/a");
    Make("t/p/b");
    FolderList list = ListAndPreview("t/p", Operation::OpAddToEnd, {"_x"});
    const std::vector<QByteArray> rowMarkers = MarkersOf(list);
    const Census before = Count();
    RenameRun run;
    {
        const testing::RenameAt2Fails full(ENOSPC);
        run = ApplyRenames(list, {});
        EXPECT_EQ(full.Calls(), 3);
    }
    EXPECT_EQ(Failures(run, Root()).size(), 3u);
    EXPECT_EQ(Lead(run.outcomes[0]), "No space left on device");
    ExpectNothingLost(before, rowMarkers, list, run);
    EXPECT_EQ(AllFolders(), (QStringList{"t", "t/p", "t/p/a", "t/p/b"}));
}

// --- A million rows, on a model of the disk ---------------------------------------------------

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUnderAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kUnderAddressSanitizer = true;
#else
constexpr bool kUnderAddressSanitizer = false;
#endif
#else
constexpr bool kUnderAddressSanitizer = false;
#endif

TEST(FaultSuiteModel, AMillionRowsPreviewAndRenameCorrectly) {
    if (kUnderAddressSanitizer) {
        GTEST_SKIP() << "a million rows need several GB under AddressSanitizer; the normal "
                        "build runs this";
    }
    constexpr int kParents = 1000;
    constexpr int kChildren = 999;  // with the parents, a million rows
    const QString top = QStringLiteral("/m/");
    // The disk: every folder path (ending with '/'), sorted, so a folder and everything in it
    // are one range.
    std::map<QString, int> disk;
    QStringList gathered;
    for (int p = 0; p < kParents; ++p) {
        const QString parent = top + 'p' + QString::number(p) + '/';
        disk.emplace(parent, 0);
        gathered << parent;
        for (int c = 0; c < kChildren; ++c) {
            const QString child = parent + 'c' + QString::number(c) + '/';
            disk.emplace(child, 0);
            gathered << child;
        }
    }
    FolderList list;
    list.AppendBatch(gathered);
    ASSERT_EQ(list.Count(), 1000000);

    bool busy = false;
    PreviewHooks hooks;
    hooks.selectorText = [] { return EntryOf(Operation::OpAddToEnd)->displayText; };
    hooks.ask = [](const QString&) { return QStringLiteral("_x"); };
    ASSERT_TRUE(PreviewRename(busy, list, hooks));
    EXPECT_EQ(list.Row(1000000).newPath, top + "p999_x/");

    RenamePlatform platform;
    platform.renameNoReplace = [&disk](const QString& fromPath, const QString& toPath) {
        const QString from = fromPath + '/';
        const QString to = toPath + '/';
        if (!disk.contains(from)) return ENOENT;
        if (disk.contains(to)) return EEXIST;
        std::vector<QString> moved;
        for (auto it = disk.lower_bound(from); it != disk.end() && it->first.startsWith(from);) {
            moved.push_back(to + it->first.mid(from.size()));
            it = disk.erase(it);
        }
        for (QString& path : moved) disk.emplace(std::move(path), 0);
        return 0;
    };
    platform.sameEntry = [](const QString&, const QString&) { return false; };
    platform.examine = [&disk](const QString& path) {
        EntryState state;
        if (!disk.contains(path + '/')) state.error = ENOENT;
        return state;
    };
    qsizetype failures = 0;
    const RenameRun run = ApplyRenames(
        list, [&failures](const RowOutcome&) { ++failures; }, platform);

    EXPECT_EQ(failures, 0);
    ASSERT_EQ(run.outcomes.size(), 1000000u);
    EXPECT_EQ(run.outcomes.back().position, 1000000);
    EXPECT_EQ(run.moves.size(), 1000000u);
    EXPECT_EQ(disk.size(), 1000000u);
    // Every row shows where its folder is, and every folder has its new name.
    qsizetype wrong = 0;
    for (const FolderRow& row : list.Rows()) {
        if (!disk.contains(row.current) || !row.current.endsWith(u"_x/") ||
            !row.newPath.isEmpty()) {
            ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_TRUE(disk.contains(top + "p999_x/c998_x/"));
}

}  // namespace
}  // namespace trellisane
