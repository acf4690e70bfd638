// The folders the system stands on: refused whatever the new name, the folders below them not.

#include "rename/system_folders.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>  // completes TempTree's member for the fixtures made here

#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

using testing::TempTree;

struct SystemFolderRow {
    const char* label;
    const char* path;  ///< "~" stands for the home folder, "/" first for the root folder
    const char* why;   ///< a word of the reason; nullptr: renamable
};

void PrintTo(const SystemFolderRow& row, std::ostream* out) { *out << row.label; }

class SystemFolders : public TempTree, public ::testing::WithParamInterface<SystemFolderRow> {};

TEST_P(SystemFolders, AreRefusedAndWhatIsBelowThemIsNot) {
    // A root folder of its own inside the tree, so that no link ever leads to the real one
    // (the tree's clean-up gives permissions back through links).
    const SystemFolderRow& row = GetParam();
    MakeFolder("root/usr/share");
    MakeFolder("root/home/me/photos");
    // Links that reach the root folder and the home folder another way.
    ASSERT_TRUE(QFile::link(PathOf("root"), PathOf("root/home/top")));
    ASSERT_TRUE(QFile::link(PathOf("root/home/me"), PathOf("root/home/link-to-me")));
    SystemPlaces places;
    places.root = QFileInfo(PathOf("root")).canonicalFilePath();
    places.homes << places.root + QStringLiteral("/home/me");
    QString path = QString::fromUtf8(row.path);
    if (path.startsWith(u'~'))
        path.replace(0, 1, places.homes.first());
    else if (path.startsWith(u'/'))
        path = places.root + (path == u"/" ? QString() : path);

    const std::optional<QString> refusal = SystemFolderRefusal(path, places);
    if (row.why == nullptr) {
        EXPECT_FALSE(refusal) << refusal.value_or(QString()).toStdString();
    } else {
        ASSERT_TRUE(refusal);
        EXPECT_TRUE(refusal->contains(QString::fromUtf8(row.why))) << refusal->toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SystemFolders,
    ::testing::Values(SystemFolderRow{"Root", "/", "root folder"},
                      SystemFolderRow{"DirectlyInRoot", "/usr/", "root folder"},
                      SystemFolderRow{"DirectlyInRootThroughALink", "/home/top/usr", "root folder"},
                      SystemFolderRow{"BelowAFolderInRoot", "/usr/share", nullptr},
                      SystemFolderRow{"Home", "~", "home folder"},
                      SystemFolderRow{"HomeWithSeparator", "~/", "home folder"},
                      // The link is renamed, not the home folder it leads to.
                      SystemFolderRow{"ALinkToHome", "/home/link-to-me", nullptr},
                      SystemFolderRow{"BelowHome", "~/photos", nullptr},
                      SystemFolderRow{"Missing", "/nowhere/x", nullptr}),
    [](const ::testing::TestParamInfo<SystemFolderRow>& test) {
        return std::string(test.param.label);
    });

TEST(SystemFoldersTest, TheRealRootAndWhatIsMountedAreRefused) {
    const SystemPlaces places = CurrentSystemPlaces();
    EXPECT_TRUE(SystemFolderRefusal(QStringLiteral("/usr"), places));
    EXPECT_TRUE(SystemFolderRefusal(QStringLiteral("/"), places));
    EXPECT_FALSE(SystemFolderRefusal(QStringLiteral("/usr/share"), places));
}

TEST(SystemPlacesTest, HoldTheHomeFolderOfHomeAndOfThePasswordEntry) {
    const QString home = QFile::decodeName(qgetenv("HOME"));
    const SystemPlaces places = CurrentSystemPlaces();
    if (!home.isEmpty() && home != u"/") {
        EXPECT_TRUE(places.homes.contains(home));
    }
    EXPECT_FALSE(places.homes.contains(QStringLiteral("/")));
}

}  // namespace
}  // namespace trellisane
