#include "folders/subfolder_walk.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <ostream>
#include <set>
#include <utility>
#include <vector>

#include "tests/folders/unprivileged.h"
#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

using testing::TempTree;

/// A report the walk made.
struct Report {
    QString description;
    int line;
};

class Walk : public TempTree {
  protected:
    /// The walk from `start`, as paths relative to the tree's root ("s/", "s/a/", ...).
    QStringList Relative(const QStringList& start, bool recursive = true) {
        QStringList folders = start;
        GetSubDirectories2016(folders, recursive, Hooks());
        return RelativeTo(folders);
    }

    QStringList RelativeTo(const QStringList& folders) const {
        QStringList relative;
        for (const QString& path : folders) {
            EXPECT_TRUE(path.startsWith(Root() + u'/')) << path.toStdString();
            relative << path.mid(Root().size() + 1);
        }
        return relative;
    }

    WalkHooks Hooks() {
        WalkHooks hooks;
        hooks.report = [this](const QString& description, int line) {
            m_reports.push_back({description, line});
        };
        return hooks;
    }

    /// Makes a folder with a raw (possibly not UTF-8) name below the root.
    void MakeRaw(const QByteArray& relative) {
        const QByteArray path = QFile::encodeName(Root()) + '/' + relative;
        ASSERT_EQ(::mkdir(path.constData(), 0755), 0)
            << relative.toStdString() << ": " << strerror(errno);
        m_raw.push_back(path);
    }

    void TearDown() override {
        // Qt cannot remove a name that is not UTF-8: these go first, deepest first.
        for (auto it = m_raw.rbegin(); it != m_raw.rend(); ++it) ::rmdir(it->constData());
        TempTree::TearDown();
    }

    void Link(const QString& target, const QString& relativeLink) const {
        ASSERT_EQ(::symlink(QFile::encodeName(target).constData(),
                            QFile::encodeName(PathOf(relativeLink)).constData()),
                  0);
    }

    std::vector<Report> m_reports;
    std::vector<QByteArray> m_raw;
};

/// The folders grouped by depth, each group sorted: the file system's listing order within a
/// parent is arbitrary, level order is not. Checks that depth never decreases along `walk`.
std::vector<std::set<QString>> Levels(const QStringList& walk) {
    std::vector<std::set<QString>> levels;
    qsizetype first = -1, last = -1;
    for (const QString& path : walk) {
        const qsizetype depth = path.count(u'/');
        if (first < 0) first = depth;
        EXPECT_GE(depth, last) << "not in level order at " << path.toStdString();
        last = depth;
        const auto level = static_cast<size_t>(depth - first);
        if (levels.size() <= level) levels.resize(level + 1);
        levels[level].insert(path);
    }
    return levels;
}

/// Within a level, folders follow their parents' order: the positions of the parents, read
/// along the walk, never go back.
void ExpectParentsInOrder(const QStringList& walk) {
    qsizetype lastParent = -1, lastDepth = -1;
    for (qsizetype i = 1; i < walk.size(); ++i) {
        const QString& path = walk[i];
        const QString parent = path.left(path.lastIndexOf(u'/', -2) + 1);
        const qsizetype parentAt = walk.indexOf(parent);
        const qsizetype depth = path.count(u'/');
        if (parentAt < 0) continue;  // the start folders
        if (depth == lastDepth) {
            EXPECT_GE(parentAt, lastParent) << path.toStdString();
        }
        lastParent = parentAt;
        lastDepth = depth;
    }
}

struct ShapeRow {
    const char* label;
    QStringList folders;  ///< made below the root, with their parents
    QStringList links;    ///< pairs: target, link (relative)
    QStringList start;    ///< relative start folders
    bool recursive;
    QStringList expected;  ///< relative; each parent here has at most one child
};

void PrintTo(const ShapeRow& row, std::ostream* out) { *out << row.label; }

class WalkShapes : public Walk, public ::testing::WithParamInterface<ShapeRow> {};

TEST_P(WalkShapes, GivesTheStartFoldersThenEachLevel) {
    const ShapeRow& row = GetParam();
    for (const QString& folder : row.folders) MakeFolder(folder);
    MakeFile("file");
    for (qsizetype i = 0; i + 1 < row.links.size(); i += 2)
        Link(PathOf(row.links[i]), row.links[i + 1]);
    QStringList start;
    for (const QString& folder : row.start) start << PathOf(folder);
    EXPECT_EQ(Relative(start, row.recursive), row.expected);
    EXPECT_TRUE(m_reports.empty());
}

const QString kLongName(255, u'l');  // with the root before it, beyond 260 characters

INSTANTIATE_TEST_SUITE_P(
    Folders, WalkShapes,
    ::testing::Values(
        ShapeRow{"NoSubFolders", {"s"}, {}, {"s/"}, true, {"s/"}},
        ShapeRow{"SeveralStartFolders",
                 {"y/y1", "x/x1/x2"},
                 {},
                 {"y/", "x/"},
                 true,
                 {"y/", "x/", "y/y1/", "x/x1/", "x/x1/x2/"}},
        ShapeRow{"NotRecursive", {"s/a/b"}, {}, {"s/"}, false, {"s/", "s/a/"}},
        // Only a refused listing removes a start folder; failed tests only stop its walk.
        ShapeRow{
            "MissingOrFileStartStays", {}, {}, {"missing/", "file/"}, true, {"missing/", "file/"}},
        ShapeRow{"NoTrailingSeparator", {"s/a"}, {}, {"s"}, true, {"s", "s/a/"}},
        // Chosen by the person: walked, though links below it are not.
        ShapeRow{"LinkAsStartIsWalked",
                 {"real/child"},
                 {"real", "chosen"},
                 {"chosen/"},
                 true,
                 {"chosen/", "chosen/child/"}},
        ShapeRow{"LongStartIsNotWalked",
                 {kLongName + "/child"},
                 {},
                 {kLongName + "/"},
                 true,
                 {kLongName + "/"}}),
    [](const ::testing::TestParamInfo<ShapeRow>& test) { return std::string(test.param.label); });

TEST_F(Walk, GathersEveryLevelInLevelOrder) {
    for (const char* folder : {"s/a/a1", "s/a/a2/deep/deeper", "s/b/b1", "s/c", "s/b/b2"}) {
        MakeFolder(folder);
    }
    MakeFile("s/a/not-a-folder");
    const QStringList walk = Relative({PathOf("s/")});
    ASSERT_FALSE(walk.isEmpty());
    EXPECT_EQ(walk.front(), "s/");
    const std::vector<std::set<QString>> expected = {{"s/"},
                                                     {"s/a/", "s/b/", "s/c/"},
                                                     {"s/a/a1/", "s/a/a2/", "s/b/b1/", "s/b/b2/"},
                                                     {"s/a/a2/deep/"},
                                                     {"s/a/a2/deep/deeper/"}};
    EXPECT_EQ(Levels(walk), expected);
    ExpectParentsInOrder(walk);
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(Walk, CancelledWalkLeavesTheListAsItWas) {
    MakeFolder("s/a/b");
    QStringList folders{PathOf("s/")};
    int polls = 0;
    WalkHooks hooks;
    hooks.cancelled = [&polls] { return ++polls > 2; };
    GetSubDirectories2016(folders, true, hooks);
    EXPECT_EQ(folders, QStringList{PathOf("s/")});
    EXPECT_GT(polls, 2);
}

struct NameRow {
    const char* label;
    QByteArray name;  ///< raw bytes as the file system holds them
    bool listed;
};

void PrintTo(const NameRow& row, std::ostream* out) { *out << row.label; }

class WalkNames : public Walk, public ::testing::WithParamInterface<NameRow> {};

TEST_P(WalkNames, ListsAUsableNameWithItsSubtreeAndSkipsAnUnusableOne) {
    const NameRow& row = GetParam();
    MakeFolder("s");
    MakeRaw("s/" + row.name);
    MakeRaw("s/" + row.name + "/inner");
    MakeFolder("s/sibling");
    QStringList folders{PathOf("s/")};
    GetSubDirectories2016(folders, true, Hooks());

    const QString name = QString::fromUtf8(row.name);
    std::set<QString> expected{PathOf("s/"), PathOf("s/sibling/")};
    if (row.listed) {
        expected.insert(PathOf("s/") + name + "/");
        expected.insert(PathOf("s/") + name + "/inner/");
    }
    EXPECT_EQ(std::set<QString>(folders.begin(), folders.end()), expected);
    EXPECT_TRUE(m_reports.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Folders, WalkNames,
    ::testing::Values(
        NameRow{"Plain", "plain", true},
        // Linux has no hidden attribute: a dot-folder is an ordinary folder.
        NameRow{"DotFolder", ".hidden", true},
        NameRow{"Blank", "two words", true},  // 32, the first usable code
        NameRow{"Tilde", "~126", true},       // 126, the last before the unusable 127
        NameRow{"Tab", "tab\there", false}, NameRow{"Newline", "new\nline", false},
        NameRow{"QuestionMark", "what?", false}, NameRow{"Delete", "del\x7f", false},
        NameRow{"C1First", "c1\xc2\x80", false},            // U+0080
        NameRow{"C1Last", "c1\xc2\x9f", false},             // U+009F
        NameRow{"NoBreakSpace", "nbsp\xc2\xa0", true},      // U+00A0, first usable above the C1
        NameRow{"Latin1Accent", "caf\xc3\xa9", true},       // é
        NameRow{"Latin1Last", "y\xc3\xbf", true},           // ÿ U+00FF
        NameRow{"AboveLatin1", "a\xc4\x80", false},         // Ā U+0100
        NameRow{"Euro", "\xe2\x82\xac", false},             // in Windows-1252 at 128: unusable
        NameRow{"Cjk", "\xe5\x86\x99\xe7\x9c\x9f", false},  // 写真
        NameRow{"Emoji", "\xf0\x9f\x98\x80", false},        // a surrogate pair
        // Not valid UTF-8: it would decode with U+FFFD, so no row could name the folder.
        NameRow{"InvalidUtf8", "bad\xff\xfe", false},
        NameRow{"Overlong", "\xc0\xaf", false},  // an overlong '/'
        // Ordinary characters here, though special elsewhere.
        NameRow{"Pipe", "a|agksdfjmySEPERATZZZ|b", true},
        NameRow{"Backslash", "back\\slash", true}),
    [](const ::testing::TestParamInfo<NameRow>& test) { return std::string(test.param.label); });

TEST_F(Walk, TreeBeyondTheLengthBoundListsDeepFoldersButDoesNotWalkThem) {
    // A chain of 40-character names: somewhere it crosses 260 characters.
    const QString segment(40, u'n');
    QString relative = "s";
    for (int i = 0; i < 9; ++i) relative += u'/' + segment;
    MakeFolder(relative);

    QStringList expected{"s/"};
    QString path = "s/";
    while ((Root() + u'/' + path).size() < 260) {
        path += segment + u'/';
        expected << path;  // listed by a parent shorter than the bound
    }
    ASSERT_LT(expected.size(), 10) << "the chain must reach beyond the bound";
    EXPECT_EQ(Relative({PathOf("s/")}), expected);
}

TEST_F(Walk, LinksToFoldersAreListedButNeverWalked) {
    MakeFolder("s/a");
    MakeFolder("outside/o1");
    MakeFile("s/file");
    Link(PathOf("s"), "s/a/loop");          // back up to the start: a loop
    Link(PathOf("outside"), "s/away");      // out of the chosen tree
    Link(PathOf("nowhere"), "s/dangling");  // to nothing: no folder
    Link(PathOf("s/file"), "s/file-link");  // to a file: no folder
    const QStringList walk = Relative({PathOf("s/")});
    const std::vector<std::set<QString>> expected = {{"s/"}, {"s/a/", "s/away/"}, {"s/a/loop/"}};
    EXPECT_EQ(Levels(walk), expected);
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(Walk, FolderSwappedForALinkAfterItsListingIsListedButNotWalked) {
    // Another program puts a link where a listed folder was before the walk gets to it: the
    // link is kept as a link, never followed out of the chosen tree.
    MakeFolder("s/d/inner");
    MakeFolder("outside/o1");
    MakeFolder("aside");
    WalkHooks hooks = Hooks();
    int polls = 0;
    hooks.cancelled = [&] {
        // The first poll is the start folder's; the second comes once its listing is read.
        if (++polls == 2) {
            EXPECT_EQ(QDir().rename(PathOf("s/d"), PathOf("aside/d")), true);
            Link(PathOf("outside"), "s/d");
        }
        return false;
    };
    QStringList folders{PathOf("s/")};
    GetSubDirectories2016(folders, true, hooks);
    EXPECT_EQ(RelativeTo(folders), (QStringList{"s/", "s/d/"}));
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(Walk, OtherListingFailureKeepsTheFolderAndIsReported) {
    MakeFolder("s/a");
    const QString start = PathOf("s/");
    const auto output =
        testing::RunWithoutFreeFiles([start] { return testing::WalkAsText({start}); });
    ASSERT_TRUE(output.has_value());
    EXPECT_EQ(*output, "Too many open files@112\n" + start.toUtf8());
}

/// Permission denied needs a process without root's power to read past permissions.
class WalkUnreadable : public Walk {
  protected:
    /// Runs the walk from `start` without that power. The first line of the answer is the
    /// errno with which opening `locked` failed there, so a test can tell that the permission
    /// error really happened.
    std::pair<int, QStringList> WalkWithoutReadPower(const QStringList& start,
                                                     const QString& locked) {
        const auto output = testing::RunWithoutReadPower([&] {
            errno = 0;
            DIR* probe = opendir(QFile::encodeName(locked).constData());
            const int probeError = probe == nullptr ? errno : 0;
            if (probe != nullptr) closedir(probe);
            QStringList folders = start;
            GetSubDirectories2016(folders, true, Hooks());
            QByteArray out = QByteArray::number(probeError);
            for (const QString& folder : folders) out += '\n' + folder.toUtf8();
            out += "\nreports " + QByteArray::number(m_reports.size());
            return out;
        });
        if (!output) {
            ADD_FAILURE() << "the child could not give up the power to read past permissions";
            return {};
        }
        QStringList lines = QString::fromUtf8(*output).split(u'\n');
        EXPECT_EQ(lines.takeLast(), "reports 0");
        return {lines.takeFirst().toInt(), RelativeTo(lines)};
    }

    void Lock(const QString& relative, QFile::Permissions permissions = {}) const {
        ASSERT_TRUE(QFile::setPermissions(PathOf(relative), permissions));
    }
};

TEST_F(WalkUnreadable, UnreadableSubFoldersAreDroppedAndTheirSiblingsStay) {
    for (const char* folder : {"s/locked1/inner", "s/open1/x", "s/locked2", "s/open2"}) {
        MakeFolder(folder);
    }
    Lock("s/locked1");
    Lock("s/locked2", QFile::ExeOwner);  // can be entered, not read
    const auto [probe, walk] = WalkWithoutReadPower({PathOf("s/")}, PathOf("s/locked1"));
    EXPECT_EQ(probe, EACCES);
    const std::vector<std::set<QString>> expected = {
        {"s/"}, {"s/open1/", "s/open2/"}, {"s/open1/x/"}};
    EXPECT_EQ(Levels(walk), expected);
}

TEST_F(WalkUnreadable, FolderThatCanBeReadButNotEnteredKeepsItselfNotItsSubFolders) {
    MakeFolder("s/listable/child");
    Lock("s/listable", QFile::ReadOwner);
    const auto [probe, walk] = WalkWithoutReadPower({PathOf("s/")}, PathOf("s/listable/child"));
    EXPECT_EQ(probe, EACCES);
    // The child's name can be read, but it cannot be examined: it is no folder to the walk.
    EXPECT_EQ(walk, (QStringList{"s/", "s/listable/"}));
}

TEST_F(WalkUnreadable, UnreadableStartFolderIsRemovedEveryTimeItIsListed) {
    MakeFolder("locked/inner");
    MakeFolder("open/x");
    Lock("locked");
    const auto [probe, walk] = WalkWithoutReadPower(
        {PathOf("locked/"), PathOf("open/"), PathOf("locked/")}, PathOf("locked"));
    EXPECT_EQ(probe, EACCES);
    EXPECT_EQ(walk, (QStringList{"open/", "open/x/"}));
}

TEST_F(WalkUnreadable, OnlyUnreadableStartFolderLeavesNothing) {
    MakeFolder("locked");
    Lock("locked");
    const auto [probe, walk] = WalkWithoutReadPower({PathOf("locked/")}, PathOf("locked"));
    EXPECT_EQ(probe, EACCES);
    EXPECT_TRUE(walk.isEmpty()) << walk.join(u' ').toStdString();
}

TEST(AttributeTest, VirtualFileSystemsFailAndTheRootPasses) {
    EXPECT_TRUE(PassesAttributeTest("/"));
    EXPECT_TRUE(PassesAttributeTest("//"));
    EXPECT_TRUE(PassesAttributeTest(QDir::tempPath() + "/"));
    if (!QFileInfo::exists("/proc/self")) GTEST_SKIP() << "/proc is not mounted";
    EXPECT_FALSE(PassesAttributeTest("/proc/"));
    EXPECT_FALSE(PassesAttributeTest("//proc/"));
    if (QFileInfo::exists("/sys/kernel")) {
        EXPECT_FALSE(PassesAttributeTest("/sys/"));
    }
    // /dev shares tmpfs' magic number; the mount table tells them apart.
    QFile mounts("/proc/self/mountinfo");
    ASSERT_TRUE(mounts.open(QIODevice::ReadOnly));
    const QByteArray table = mounts.readAll();
    if (table.contains(" /dev rw") && table.contains("- devtmpfs ")) {
        EXPECT_FALSE(PassesAttributeTest("/dev/"));
    }
    if (table.contains(" /dev/shm ") && table.contains("- tmpfs ")) {
        EXPECT_TRUE(PassesAttributeTest("/dev/shm/"));
    }
}

TEST(AttributeTest, WalkOfTheRootLeavesOutVirtualFileSystems) {
    if (!QFileInfo::exists("/proc/self")) GTEST_SKIP() << "/proc is not mounted";
    QStringList folders{"//"};
    GetSubDirectories2016(folders, false);
    EXPECT_EQ(folders.front(), "//");
    EXPECT_FALSE(folders.contains("//proc/"));
    EXPECT_TRUE(folders.contains("//usr/"));
    for (const QString& folder : folders.mid(1)) {
        EXPECT_TRUE(folder.startsWith("//") && folder.endsWith(u'/') && folder.count(u'/') == 3)
            << folder.toStdString();
    }
}

TEST(AttributeTest, VirtualStartFolderIsKeptButNotWalked) {
    if (!QFileInfo::exists("/proc/self")) GTEST_SKIP() << "/proc is not mounted";
    QStringList folders{"/proc/"};
    GetSubDirectories2016(folders, true);
    EXPECT_EQ(folders, QStringList{"/proc/"});
}

TEST(UnusableCharacters, EmptyNameHasNone) { EXPECT_FALSE(HasUnusableCharacters("")); }

TEST(ExistingFolder, AnswersFalseOnAnyFailure) {
    EXPECT_TRUE(IsExistingFolder("/"));
    EXPECT_FALSE(IsExistingFolder(""));
    EXPECT_FALSE(IsExistingFolder("/no/such/folder/"));
    EXPECT_FALSE(IsExistingFolder("/proc/self/status"));  // a file
}

}  // namespace
}  // namespace trellisane
