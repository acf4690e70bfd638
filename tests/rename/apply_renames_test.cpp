#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>  // completes TempTree's member for the fixtures made here
#include <cerrno>
#include <vector>

#include "folders/folder_list.h"
#include "rename/rename_run.h"
#include "tests/rename/row_fates.h"
#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

using testing::TempTree;

/// One row of a run on real folders. Paths are relative to the temporary root, without the
/// trailing separator; "<NUL>" stands for a NUL character.
struct Row {
    const char* current;
    const char* newPath;  ///< nullptr: the row was never previewed
    RowFate fate;
    const char* after;  ///< its current path after the run
};

struct DiskCase {
    const char* name;
    /// Made with a marker file each; '!' first: left empty; '~' first: a file instead.
    std::vector<const char*> folders;
    std::vector<Row> rows;
    std::vector<const char*> onDisk;  ///< every folder after the run, sorted
};

/// Failures name the row of the table.
void PrintTo(const DiskCase& c, std::ostream* out) { *out << c.name; }

class ApplyRenamesOnDisk : public TempTree, public ::testing::WithParamInterface<DiskCase> {
  protected:
    QString Absolute(const char* relative) const {
        QString path = PathOf(QString::fromUtf8(relative)) + u'/';
        return path.replace(QStringLiteral("<NUL>"), QString(QChar(u'\0')));
    }

    /// The marker texts of every folder: each names the folder it was made in.
    QSet<QString> Markers() const {
        QSet<QString> markers;
        for (const QString& file : AllFiles()) {
            QFile marker(PathOf(file));
            EXPECT_TRUE(marker.open(QIODevice::ReadOnly));
            markers.insert(QString::fromUtf8(marker.readAll()));
        }
        return markers;
    }
};

TEST_P(ApplyRenamesOnDisk, RenamesLosesNothingAndTellsTheTruth) {
    const DiskCase& c = GetParam();
    for (const char* folder : c.folders) {
        const bool plain = folder[0] != '!' && folder[0] != '~';
        const QString relative = QString::fromUtf8(plain ? folder : folder + 1);
        if (folder[0] == '~') {
            MakeFile(relative, relative.toUtf8());
            continue;
        }
        MakeFolder(relative);
        if (plain) MakeFile(relative + QStringLiteral("/marker"), relative.toUtf8());
    }
    const qsizetype foldersBefore = AllFolders().size();
    const QSet<QString> markersBefore = Markers();

    FolderList list;
    QStringList currents;
    for (const Row& row : c.rows) currents << Absolute(row.current);
    list.AppendInOrder(currents);
    for (qsizetype position = 1; position <= list.Count(); ++position) {
        const char* newPath = c.rows[static_cast<size_t>(position - 1)].newPath;
        list.SetNewPath(position, newPath == nullptr ? QString() : Absolute(newPath));
    }

    std::vector<qsizetype> reported;
    const RenameRun run =
        ApplyRenames(list, [&](const RowOutcome& failed) { reported.push_back(failed.position); });

    ASSERT_EQ(run.outcomes.size(), c.rows.size());
    std::vector<qsizetype> expectedReported;
    for (qsizetype position = 1; position <= list.Count(); ++position) {
        SCOPED_TRACE(position);
        const Row& row = c.rows[static_cast<size_t>(position - 1)];
        const RowOutcome& outcome = run.outcomes[static_cast<size_t>(position - 1)];
        EXPECT_EQ(outcome.position, position);
        EXPECT_EQ(outcome.fate, row.fate) << StatusKeyword(outcome.fate.status);
        if (!Succeeds(row.fate.status)) expectedReported.push_back(position);
        EXPECT_EQ(list.Row(position).current, Absolute(row.after));
        EXPECT_EQ(list.Row(position).newPath, QString());
    }
    EXPECT_EQ(reported, expectedReported);

    QStringList onDisk;
    for (const char* folder : c.onDisk) onDisk << QString::fromUtf8(folder);
    EXPECT_EQ(AllFolders(), onDisk);
    EXPECT_EQ(AllFolders().size(), foldersBefore);
    EXPECT_EQ(Markers(), markersBefore);
}

using testing::Claimed;
using testing::Missing;
using testing::Refused;
using testing::Taken;
const RowFate kOk = testing::Renamed();

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, ApplyRenamesOnDisk, ::testing::Values(
    // Two folders that differ only in what the operation removes.
    DiskCase{"TwoRowsOneNewName", {"a1", "a2"},
             {{"a1", "a", kOk, "a"}, {"a2", "a", Claimed(1), "a2"}}, {"a", "a2"}},
    // The earlier folder is empty: a plain rename(2) would replace it and lose it.
    DiskCase{"TwoRowsOneNewNameEarlierEmpty", {"!a1", "a2"},
             {{"a1", "a", kOk, "a"}, {"a2", "a", Claimed(1), "a2"}}, {"a", "a2"}},
    DiskCase{"NewNameTakenByUnlistedEmptyFolder", {"!b", "c"},
             {{"c", "b", Taken(Occupant::Folder, false), "c"}}, {"b", "c"}},
    DiskCase{"NewNameTakenByListedFolder", {"b", "c"},
             {{"c", "b", Taken(Occupant::Folder, true), "c"}, {"b", "b", {RowStatus::Unchanged}, "b"}},
             {"b", "c"}},
    DiskCase{"NewNameTakenByFile", {"~b", "c"},
             {{"c", "b", Taken(Occupant::File, false), "c"}}, {"c"}},
    // Only folders are renamed: a file standing where the folder was is left alone.
    DiskCase{"FileInTheFoldersPlace", {"~a"}, {{"a", "b", Missing(ENOTDIR), "a"}}, {}},
    DiskCase{"UnchangedName", {"a"}, {{"a", "a", {RowStatus::Unchanged}, "a"}}, {"a"}},
    // Unchanged and gone: nothing to do, so nothing to report.
    DiskCase{"UnchangedNameFolderMissing", {"a"}, {{"gone", "gone", {RowStatus::Unchanged}, "gone"}}, {"a"}},
    DiskCase{"NeverPreviewed", {"a"},
             {{"a", nullptr, {RowStatus::NotPreviewed}, "a"}}, {"a"}},
    DiskCase{"FolderMissing", {"a"},
             {{"gone", "gone2", Missing(ENOENT), "gone"}}, {"a"}},
    // "../x" typed at the start of the name.
    DiskCase{"TypedDotDotSeparator", {"a"},
             {{"a", "../xa", Refused(RefusalReason::Separator), "a"}}, {"a"}},
    // Without the check, "a" would move into the existing folder "x" as "x/b".
    DiskCase{"TypedSeparatorIntoSibling", {"a", "x"},
             {{"a", "x/b", Refused(RefusalReason::Separator), "a"}}, {"a", "x"}},
    DiskCase{"DotName", {"a"},
             {{"a", ".", Refused(RefusalReason::DotName), "a"}}, {"a"}},
    DiskCase{"DotDotName", {"a"},
             {{"a", "..", Refused(RefusalReason::DotName), "a"}}, {"a"}},
    DiskCase{"EmptyName", {"a"}, {{"a", "", Refused(RefusalReason::EmptyName), "a"}}, {"a"}},
    // Cut short at the NUL, the name would be "a".
    DiskCase{"NulInName", {"ab"},
             {{"ab", "a<NUL>b", Refused(RefusalReason::NulInName), "ab"}}, {"ab"}},
    DiskCase{"OtherParent", {"x/a", "y"},
             {{"x/a", "y/a", Refused(RefusalReason::OutsideParent), "x/a"}},
             {"x", "x/a", "y"}},
    // The order of one added tree: the sub-folder first.
    DiskCase{"SubFolderBeforeParent", {"p", "p/s"},
             {{"p/s", "p/s2", kOk, "q/s2"}, {"p", "q", kOk, "q"}}, {"q", "q/s2"}},
    // Two separate adds: the sub-folder's row is rebased before its turn.
    DiskCase{"SubFolderAfterParent", {"p", "p/s"},
             {{"p", "q", kOk, "q"}, {"p/s", "p/s2", kOk, "q/s2"}}, {"q", "q/s2"}},
    DiskCase{"DeepTreeInnermostFirst", {"a", "a/b", "a/b/c"},
             {{"a/b/c", "a/b/c_old", kOk, "a_old/b_old/c_old"},
              {"a/b", "a/b_old", kOk, "a_old/b_old"},
              {"a", "a_old", kOk, "a_old"}},
             {"a_old", "a_old/b_old", "a_old/b_old/c_old"}},
    DiskCase{"SameFolderTwice", {"a"}, {{"a", "b", kOk, "b"}, {"a", "b", kOk, "b"}}, {"b"}},
    // The failed row keeps its path, and follows its parent's later rename.
    DiskCase{"FailedRowFollowsParent", {"p", "p/s", "p/t"},
             {{"p/s", "p/t", Taken(Occupant::Folder, false), "q/s"}, {"p", "q", kOk, "q"}}, {"q", "q/s", "q/t"}},
    // '/a/bc/' is not inside '/a/b/'.
    DiskCase{"SiblingSharingAPrefix", {"a/b", "a/bc"},
             {{"a/b", "a/x", kOk, "a/x"}, {"a/bc", "a/y", kOk, "a/y"}}, {"a", "a/x", "a/y"}},
    // The second row takes the name the first has just given up.
    DiskCase{"NameFreedEarlierInTheRun", {"x", "x_old"},
             {{"x_old", "x_old_old", kOk, "x_old_old"}, {"x", "x_old", kOk, "x_old"}},
             {"x_old", "x_old_old"}}),
    [](const ::testing::TestParamInfo<DiskCase>& test) { return std::string(test.param.name); });
// clang-format on

using ApplyRenamesLinks = TempTree;

TEST_F(ApplyRenamesLinks, SymbolicLinkToAFolderIsRenamedAsTheLink) {
    MakeFolder(QStringLiteral("target"));
    MakeFile(QStringLiteral("target/marker"));
    ASSERT_TRUE(QFile::link(PathOf(QStringLiteral("target")), PathOf(QStringLiteral("link"))));

    FolderList list;
    list.AppendInOrder({PathOf(QStringLiteral("link")) + u'/'});
    list.SetNewPath(1, PathOf(QStringLiteral("link2")) + u'/');
    const RenameRun run = ApplyRenames(list, {});

    ASSERT_EQ(run.outcomes[0].fate.status, RowStatus::Renamed);
    EXPECT_TRUE(QFileInfo(PathOf(QStringLiteral("link2"))).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(PathOf(QStringLiteral("link"))));
    EXPECT_TRUE(QFileInfo::exists(PathOf(QStringLiteral("target/marker"))));
    EXPECT_EQ(list.Row(1).current, PathOf(QStringLiteral("link2")) + u'/');
}

TEST_F(ApplyRenamesLinks, RecordsEveryMoveInOrder) {
    MakeFolder(QStringLiteral("p/s"));
    FolderList list;
    list.AppendInOrder({PathOf(QStringLiteral("p/s/")), PathOf(QStringLiteral("p/")),
                        PathOf(QStringLiteral("gone/"))});
    list.SetNewPath(1, PathOf(QStringLiteral("p/t/")));
    list.SetNewPath(2, PathOf(QStringLiteral("q/")));
    list.SetNewPath(3, PathOf(QStringLiteral("gone2/")));
    const RenameRun run = ApplyRenames(list, {});

    ASSERT_EQ(run.moves.size(), 2u);  // the failed row moved nothing
    EXPECT_EQ(run.moves[0].from, PathOf(QStringLiteral("p/s/")));
    EXPECT_EQ(run.moves[0].to, PathOf(QStringLiteral("p/t/")));
    EXPECT_EQ(run.moves[1].from, PathOf(QStringLiteral("p/")));
    EXPECT_EQ(run.moves[1].to, PathOf(QStringLiteral("q/")));
}

struct CarryCase {
    const char* name;
    QStringList paths;
    std::vector<PathMove> moves;
    QStringList expected;
};

/// Failures name the row of the table.
void PrintTo(const CarryCase& c, std::ostream* out) { *out << c.name; }

class CarryThroughMovesTest : public ::testing::TestWithParam<CarryCase> {};

TEST_P(CarryThroughMovesTest, RebasesByWholeComponents) {
    QStringList paths = GetParam().paths;
    CarryThroughMoves(paths, GetParam().moves);
    EXPECT_EQ(paths, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CarryThroughMovesTest,
    ::testing::Values(
        CarryCase{"EqualAndBelow",
                  {"/a/b/", "/a/b/c/", "/a/b/c/d/", "/a/"},
                  {{"/a/b/", "/a/x/"}},
                  {"/a/x/", "/a/x/c/", "/a/x/c/d/", "/a/"}},
        CarryCase{"SiblingSharingAPrefix", {"/a/bc/"}, {{"/a/b/", "/a/x/"}}, {"/a/bc/"}},
        // Moves apply in order: the second one takes along what the first moved.
        CarryCase{
            "Chained", {"/p/s/", "/p/"}, {{"/p/s/", "/p/t/"}, {"/p/", "/q/"}}, {"/q/t/", "/q/"}},
        CarryCase{
            "SamePathTwice", {"/a/", "/a/", "/a/k/"}, {{"/a/", "/b/"}}, {"/b/", "/b/", "/b/k/"}},
        // A path without the trailing separator keeps that form.
        CarryCase{"WithoutTrailingSeparator",
                  {"/a/b", "/a/b/c"},
                  {{"/a/b/", "/a/x/"}},
                  {"/a/x", "/a/x/c"}},
        // A later move lands on a path that is listed already: both are carried on.
        CarryCase{"MergesOntoListedPath",
                  {"/a/", "/b/"},
                  {{"/a/", "/b/"}, {"/b/", "/c/"}},
                  {"/c/", "/c/"}},
        CarryCase{"NoMoves", {"/a/"}, {}, {"/a/"}}),
    [](const ::testing::TestParamInfo<CarryCase>& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace trellisane
