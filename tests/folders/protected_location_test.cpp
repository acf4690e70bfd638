#include "folders/protected_location.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>  // completes TempTree's member for the fixtures made here
#include <ostream>
#include <vector>

#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

using testing::TempTree;

/// A tree holding an installed-looking copy under usr/ and whatever a case adds. Paths are
/// real ones, so they compare with what the functions resolve.
class InstalledTree : public TempTree {
  protected:
    void SetUp() override {
        TempTree::SetUp();
        m_root = QFileInfo(Root()).canonicalFilePath();
        MakeFolder("usr/bin");
        MakeFolder("opt/bin");
        MakeFolder("opt/lib/trellisane");
        MakeFolder("usr/lib/trellisane/Samples/PROJECT Alpha v2.0");
        MakeFile("usr/lib/trellisane/trellisane", "program");
        MakeFile("usr/lib/trellisane/trellisane-cli", "program");
    }
    QString Real(const char* relative) const { return m_root + u'/' + QString::fromUtf8(relative); }
    void Link(const char* target, const char* relative) const {
        ASSERT_EQ(::symlink(target, Real(relative).toUtf8().constData()), 0) << relative;
    }

  private:
    QString m_root;
};

TEST_F(InstalledTree, ProgramFolderIsWhereTheProgramFileReallyLies) {
    Link("../lib/trellisane/trellisane", "usr/bin/trellisane");
    EXPECT_EQ(ProgramFolderOf(Real("usr/bin/trellisane")), Real("usr/lib/trellisane"));
    EXPECT_EQ(ProgramFolderOf(Real("usr/lib/trellisane/trellisane")), Real("usr/lib/trellisane"));
    EXPECT_EQ(ProgramFolderOf(Real("usr/bin/missing")), "");
}

/// One layout of launchers: (target, link) pairs made before asking about `folder`.
struct LayoutCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> links;
    const char* folder;
    bool installed;
};

void PrintTo(const LayoutCase& c, std::ostream* out) { *out << c.name; }

class InstalledLayout : public InstalledTree, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(InstalledLayout, IsRecognisedOnlyWhereALauncherLeadsIntoIt) {
    const LayoutCase& c = GetParam();
    for (const auto& [target, link] : c.links) Link(target, link);
    EXPECT_EQ(IsInstalledProgramFolder(Real(c.folder)), c.installed);
    EXPECT_EQ(ProtectedFolderOf(Real(c.folder)),
              c.installed ? QDir::cleanPath(Real(c.folder)) : QString());
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, InstalledLayout,
    ::testing::Values(LayoutCase{"RelativeLauncher",
                                 {{"../lib/trellisane/trellisane", "usr/bin/trellisane"}},
                                 "usr/lib/trellisane",
                                 true},
                      LayoutCase{"OnlyTheCompanionsLauncher",
                                 {{"../lib/trellisane/trellisane-cli", "usr/bin/trellisane-cli"}},
                                 "usr/lib/trellisane/",
                                 true},
                      LayoutCase{"NoLauncher", {}, "usr/lib/trellisane", false},
                      LayoutCase{"LauncherIntoAnotherCopy",
                                 {{"../../usr/lib/trellisane/trellisane", "opt/bin/trellisane"}},
                                 "opt/lib/trellisane",
                                 false},
                      LayoutCase{"LauncherToAProgramOfAnotherName",
                                 {{"../lib/trellisane/trellisane-cli", "usr/bin/trellisane"}},
                                 "usr/lib/trellisane",
                                 false},
                      LayoutCase{"AFolderOfAnotherName", {}, "usr/lib", false}),
    [](const auto& info) { return std::string(info.param.name); });

/// One row path against the installed folder usr/lib/trellisane.
struct RefusalCase {
    const char* name;
    const char* path;  ///< relative to the root
    bool refused;
};

void PrintTo(const RefusalCase& c, std::ostream* out) { *out << c.name; }

class ProtectedRows : public InstalledTree, public ::testing::WithParamInterface<RefusalCase> {
  protected:
    void SetUp() override {
        InstalledTree::SetUp();
        MakeFolder("usr/lib/trellisane-old/Samples");
        Link("usr/lib", "lib");  // as Debian's merged /usr has it
    }
};

TEST_P(ProtectedRows, RefusesTheInstalledFolderAndEverythingInsideIt) {
    const RefusalCase& c = GetParam();
    const QString guarded = Real("usr/lib/trellisane");
    const std::optional<QString> refusal = ProtectedLocationRefusal(Real(c.path), guarded);
    EXPECT_EQ(refusal.has_value(), c.refused);
    if (refusal) {
        EXPECT_TRUE(refusal->contains(guarded)) << refusal->toStdString();
    }
    EXPECT_FALSE(ProtectedLocationRefusal(Real(c.path), QString()));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ProtectedRows,
    ::testing::Values(
        RefusalCase{"ASample", "usr/lib/trellisane/Samples/PROJECT Alpha v2.0/", true},
        RefusalCase{"TheFolderItself", "usr/lib/trellisane", true},
        RefusalCase{"ThroughALinkedParent", "lib/trellisane/Samples/PROJECT Alpha v2.0/", true},
        RefusalCase{"AFolderThatIsGone", "usr/lib/trellisane/Samples/gone/deeper/", true},
        RefusalCase{"ASiblingSharingThePrefix", "usr/lib/trellisane-old/Samples/", false},
        RefusalCase{"TheFolderAbove", "usr/lib/", false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace trellisane
