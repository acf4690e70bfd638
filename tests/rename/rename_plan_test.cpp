#include "rename/rename_plan.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>  // completes TempTree's member for the fixtures made here
#include <algorithm>
#include <map>
#include <random>
#include <utility>
#include <vector>

#include "folders/folder_list.h"
#include "rename/rename_run.h"
#include "tests/folders/unprivileged.h"
#include "tests/rename/row_fates.h"
#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

using testing::Claimed;
using testing::Missing;
using testing::Refused;
using testing::Taken;
using testing::TempTree;

constexpr uid_t kNobody = 65534;
constexpr uid_t kSomeoneElse = 65533;

/// One fate as a line of text, so a child process can hand fates back.
QByteArray Line(const RowFate& fate) {
    return QByteArray(StatusKeyword(fate.status)) + ' ' +
           QByteArray::number(static_cast<int>(fate.refusal)) + ' ' +
           QByteArray::number(static_cast<int>(fate.occupant)) + ' ' +
           QByteArray::number(fate.listed) + ' ' + QByteArray::number(fate.claimedBy) + ' ' +
           QByteArray::number(fate.error);
}

/// Plans `rows`, then runs them on the disk, and writes one line per row that the plan got
/// wrong (its fate or where its folder ends up), after a first line with the number of rows
/// and the keyword of each row's outcome.
QByteArray PlanThenRun(const std::vector<FolderRow>& rows, const RenamePlatform& platform) {
    const RenamePlan plan = PlanRenames(rows, platform);
    FolderList list;
    QStringList currents;
    for (const FolderRow& row : rows) currents << row.current;
    list.AppendInOrder(currents);
    for (size_t i = 0; i < rows.size(); ++i) {
        list.SetNewPath(static_cast<qsizetype>(i) + 1, rows[i].newPath);
    }
    const RenameRun run = ApplyRenames(list, {}, platform);

    QByteArray report = QByteArray::number(rows.size());
    for (const RowOutcome& outcome : run.outcomes) {
        report += ' ' + QByteArray(StatusKeyword(outcome.fate.status));
    }
    report += '\n';
    for (size_t i = 0; i < rows.size(); ++i) {
        const FolderRow& row = rows[i];
        const QByteArray predicted = plan.fates.size() > i ? Line(plan.fates[i]) : "none";
        const QByteArray happened = Line(run.outcomes[i].fate);
        const QString after = list.Row(static_cast<qsizetype>(i) + 1).current;
        const QString final = plan.finalPaths.size() > i ? plan.finalPaths[i] : QString();
        if (predicted != happened || final != after) {
            report += "row " + QByteArray::number(i + 1) + ' ' + row.current.toUtf8() + " -> " +
                      row.newPath.toUtf8() + ": planned " + predicted + " at " + final.toUtf8() +
                      ", ran " + happened + " at " + after.toUtf8() + '\n';
        }
    }
    return report;
}

/// The rows that PlanThenRun found wrong (every line after the first).
QByteArrayList Mismatches(const QByteArray& report) {
    QByteArrayList lines = report.split('\n');
    lines.removeFirst();
    lines.removeAll(QByteArray());
    return lines;
}

// --- One status at a time ---------------------------------------------------------------------

/// One row of a table: paths relative to the temporary root, without trailing separator.
struct PlanRow {
    const char* current;
    const char* newPath;  ///< nullptr: never previewed
    RowFate fate;
};

struct PlanCase {
    const char* name;
    /// Made before planning: a folder; '~' first: a file; '@' first: a dangling link.
    std::vector<const char*> entries;
    std::vector<PlanRow> rows;
};

/// Failures name the row of the table.
void PrintTo(const PlanCase& c, std::ostream* out) { *out << c.name; }

class PlanOnDisk : public TempTree {
  protected:
    void Make(const std::vector<const char*>& entries) {
        for (const char* entry : entries) {
            const QString name = QString::fromUtf8(entry + (entry[0] == '~' || entry[0] == '@'));
            if (entry[0] == '~') {
                MakeFile(name);
            } else if (entry[0] == '@') {
                ASSERT_TRUE(QFile::link(PathOf(QStringLiteral("nowhere")), PathOf(name)));
            } else {
                MakeFolder(name);
            }
        }
    }

    std::vector<FolderRow> Rows(const std::vector<PlanRow>& table) const {
        std::vector<FolderRow> rows;
        for (const PlanRow& row : table) {
            const QString current = PathOf(QString::fromUtf8(row.current)) + u'/';
            const QString newPath =
                row.newPath == nullptr ? QString() : PathOf(QString::fromUtf8(row.newPath)) + u'/';
            rows.push_back({current, newPath});
        }
        return rows;
    }
};

class PlanStatus : public PlanOnDisk, public ::testing::WithParamInterface<PlanCase> {};

TEST_P(PlanStatus, IsPredictedAndHappens) {
    const PlanCase& c = GetParam();
    Make(c.entries);
    const std::vector<FolderRow> rows = Rows(c.rows);

    const RenamePlan plan = PlanRenames(rows);
    ASSERT_EQ(plan.fates.size(), c.rows.size());
    for (size_t i = 0; i < c.rows.size(); ++i) {
        EXPECT_EQ(plan.fates[i], c.rows[i].fate)
            << "row " << i + 1 << " planned " << Line(plan.fates[i]).constData();
    }
    const QByteArray report = PlanThenRun(rows, DefaultRenamePlatform());
    EXPECT_TRUE(Mismatches(report).isEmpty()) << report.constData();
}

const std::string kLongName(300, 'n');

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, PlanStatus, ::testing::Values(
    PlanCase{"WillBeRenamed", {"a"}, {{"a", "b", testing::Renamed()}}},
    PlanCase{"Unchanged", {"a"}, {{"a", "a", testing::Unchanged()}}},
    PlanCase{"NotPreviewed", {"a"}, {{"a", nullptr, testing::NotPreviewed()}}},
    PlanCase{"EmptyName", {"a"}, {{"a", "", Refused(RefusalReason::EmptyName)}}},
    PlanCase{"DotName", {"a"}, {{"a", ".", Refused(RefusalReason::DotName)}}},
    PlanCase{"Separator", {"a", "x"}, {{"a", "x/a", Refused(RefusalReason::Separator)}}},
    PlanCase{"OutsideParent", {"x/a", "y"}, {{"x/a", "y/a", Refused(RefusalReason::OutsideParent)}}},
    PlanCase{"NameTooLong", {"a"},
             {{"a", kLongName.c_str(), Refused(RefusalReason::NameTooLong, ENAMETOOLONG)}}},
    PlanCase{"TakenByUnlistedFolder", {"a", "b"}, {{"a", "b", Taken(Occupant::Folder, false)}}},
    PlanCase{"TakenByListedFolder", {"a", "b"},
             {{"a", "b", Taken(Occupant::Folder, true)}, {"b", "c", testing::Renamed()}}},
    PlanCase{"TakenByFile", {"a", "~b"}, {{"a", "b", Taken(Occupant::File, false)}}},
    PlanCase{"TakenByLink", {"a", "@b"}, {{"a", "b", Taken(Occupant::Link, false)}}},
    PlanCase{"ClaimedByAnEarlierRow", {"a1", "a2"},
             {{"a1", "a", testing::Renamed()}, {"a2", "a", Claimed(1)}}},
    PlanCase{"Missing", {"a"}, {{"gone", "gone2", Missing(ENOENT)}}},
    PlanCase{"FileInTheFoldersPlace", {"~a"}, {{"a", "b", Missing(ENOTDIR)}}},
    // A name given up earlier in the run is free by its turn.
    PlanCase{"NameFreedEarlier", {"x", "x_old"},
             {{"x_old", "x_old_old", testing::Renamed()}, {"x", "x_old", testing::Renamed()}}},
    // The sub-folder's row follows its parent's rename before its turn.
    PlanCase{"CarriedByAnEarlierRow", {"p/s"},
             {{"p", "q", testing::Renamed()}, {"p/s", "p/s2", testing::Renamed()}}},
    // A stale row finds the folder an earlier row has just moved to its path.
    PlanCase{"StalePathFilledByAnEarlierRow", {"a", "b"},
             {{"a", "c", testing::Renamed()}, {"b", "a", testing::Renamed()},
              {"c", "d", testing::Renamed()}}},
    PlanCase{"SameFolderTwice", {"a"},
             {{"a", "b", testing::Renamed()}, {"a", "b", testing::Renamed()}}}),
    [](const ::testing::TestParamInfo<PlanCase>& test) { return std::string(test.param.name); });
// clang-format on

TEST_F(PlanOnDisk, GivesTheFinalPathOfRowsBelowALaterRename) {
    Make({"p/s"});
    const RenamePlan plan = PlanRenames(Rows({{"p/s", "p/s2", {}}, {"p", "q", {}}}));
    EXPECT_EQ(plan.finalPaths, (std::vector<QString>{PathOf(QStringLiteral("q/s2/")),
                                                     PathOf(QStringLiteral("q/"))}));
}

TEST_F(PlanOnDisk, NeverTouchesTheDiskAndStopsWhenCancelled) {
    Make({"a", "b/c"});
    const std::vector<FolderRow> rows = Rows({{"b/c", "b/d", {}}, {"a", "e", {}}});
    PlanRenames(rows);
    EXPECT_EQ(AllFolders(), (QStringList{"a", "b", "b/c"}));

    const std::atomic<bool> cancel{true};
    const RenamePlan cancelled = PlanRenames(rows, DefaultRenamePlatform(), &cancel);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(cancelled.fates.empty());
}

// --- What only a person without root's powers meets ------------------------------------------

/// Parents the person may not change, run as an ordinary user: the whole tree is handed to
/// that user, then the changes are made in order.
struct Change {
    const char* folder;
    mode_t mode;
    uid_t owner;
};

struct PermissionCase {
    const char* name;
    std::vector<const char*> folders;
    std::vector<Change> changes;
    std::vector<PlanRow> rows;
};

/// Failures name the row of the table.
void PrintTo(const PermissionCase& c, std::ostream* out) { *out << c.name; }

class PlanWithoutRoot : public PlanOnDisk, public ::testing::WithParamInterface<PermissionCase> {
  protected:
    void SetUp() override {
        PlanOnDisk::SetUp();
        if (::geteuid() != 0) GTEST_SKIP() << "handing folders to another user needs root";
    }
};

TEST_P(PlanWithoutRoot, IsPredictedAndHappens) {
    const PermissionCase& c = GetParam();
    Make(c.folders);
    ASSERT_EQ(
        QProcess::execute(QStringLiteral("chown"),
                          {QStringLiteral("-R"), QStringLiteral("%1:%1").arg(kNobody), Root()}),
        0);
    for (const Change& change : c.changes) {
        const QByteArray folder = QFile::encodeName(PathOf(QString::fromUtf8(change.folder)));
        ASSERT_EQ(::chown(folder.constData(), change.owner, change.owner), 0);
        ASSERT_EQ(::chmod(folder.constData(), change.mode), 0);
    }

    if (!testing::UserCanReach(kNobody, kNobody, QFile::encodeName(Root()))) {
        GTEST_SKIP() << "an ordinary user cannot reach " << Root().toStdString()
                     << " on this machine (a folder on the way shuts other users out)";
    }
    const std::vector<FolderRow> rows = Rows(c.rows);
    const std::optional<QByteArray> planned = testing::RunAsUser(kNobody, kNobody, [&] {
        QByteArray lines;
        for (const RowFate& fate : PlanRenames(rows).fates) lines += Line(fate) + '\n';
        return lines + PlanThenRun(rows, DefaultRenamePlatform());
    });
    ASSERT_TRUE(planned.has_value());
    QByteArrayList lines = planned->split('\n');
    for (size_t i = 0; i < c.rows.size(); ++i) {
        EXPECT_EQ(lines.value(static_cast<qsizetype>(i)), Line(c.rows[i].fate)) << "row " << i + 1;
    }
    const QByteArray report = lines.mid(static_cast<qsizetype>(c.rows.size())).join('\n');
    EXPECT_TRUE(Mismatches(report).isEmpty()) << report.constData();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, PlanWithoutRoot, ::testing::Values(
    PermissionCase{"ParentNotWritable", {"p/a"}, {{"p", 0555, kNobody}},
                   {{"p/a", "p/b", Refused(RefusalReason::NoPermission, EACCES)}}},
    // The name is taken: that is what the run meets first.
    PermissionCase{"ParentNotWritableNameTaken", {"p/a", "p/b"}, {{"p", 0555, kNobody}},
                   {{"p/a", "p/b", Taken(Occupant::Folder, false)}}},
    PermissionCase{"ParentNotSearchable", {"p/a"}, {{"p", 0600, kNobody}},
                   {{"p/a", "p/b", Refused(RefusalReason::NoPermission, EACCES)}}},
    // Searched but never read: what stands in it is looked up by name all the same.
    PermissionCase{"ParentSearchableNotReadable", {"p/a"}, {{"p", 0311, kNobody}},
                   {{"p/a", "p/b", testing::Renamed()}}},
    PermissionCase{"StickyParentOfSomeoneElse", {"p/a"},
                   {{"p/a", 0755, kSomeoneElse}, {"p", 01777, kSomeoneElse}},
                   {{"p/a", "p/b", Refused(RefusalReason::NoPermission, EPERM)}}},
    // One's own folder in someone else's sticky parent may be renamed.
    PermissionCase{"StickyParentOwnFolder", {"p/a"}, {{"p", 01777, kSomeoneElse}},
                   {{"p/a", "p/b", testing::Renamed()}}},
    // Renaming in its own parent does not write the folder itself.
    PermissionCase{"FolderItselfNotWritable", {"p/a"}, {{"p/a", 0555, kNobody}},
                   {{"p/a", "p/b", testing::Renamed()}}}),
    [](const ::testing::TestParamInfo<PermissionCase>& test) {
        return std::string(test.param.name);
    });
// clang-format on

// --- A read-only file system, and a folder something is mounted on ---------------------------

class PlanOnAMount : public PlanOnDisk {
  protected:
    void SetUp() override {
        PlanOnDisk::SetUp();
        if (::geteuid() != 0) GTEST_SKIP() << "mounting needs root";
        m_mount = PathOf(QStringLiteral("mnt"));
        MakeFolder(QStringLiteral("mnt"));
        if (QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("size=1m"), QStringLiteral("tmpfs"), m_mount}) != 0) {
            GTEST_SKIP() << "this machine does not allow a mount";
        }
        m_mounted = true;
    }

    void TearDown() override {
        if (m_mounted) QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), m_mount});
        PlanOnDisk::TearDown();
    }

    QString m_mount;
    bool m_mounted = false;
};

TEST_F(PlanOnAMount, ReadOnlyAndMountPointAreForeseen) {
    MakeFolder(QStringLiteral("mnt/a"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("mount"),
                                {QStringLiteral("-o"), QStringLiteral("remount,ro"), m_mount}),
              0);
    const std::vector<FolderRow> rows = Rows({{"mnt/a", "mnt/b", {}}, {"mnt", "mnt2", {}}});

    const RenamePlan plan = PlanRenames(rows);
    ASSERT_EQ(plan.fates.size(), 2u);
    EXPECT_EQ(plan.fates[0], Refused(RefusalReason::ReadOnly, EROFS));
    // A mount point is refused before the kernel's EBUSY, with the reason.
    EXPECT_EQ(plan.fates[1].status, RowStatus::Refused);
    EXPECT_EQ(plan.fates[1].refusal, RefusalReason::Protected);
    EXPECT_TRUE(plan.fates[1].detail.contains(QStringLiteral("mounted")))
        << plan.fates[1].detail.toStdString();
    const QByteArray report = PlanThenRun(rows, DefaultRenamePlatform());
    EXPECT_TRUE(Mismatches(report).isEmpty()) << report.constData();
}

/// Mounts a file system on one folder when the run is about to rename another.
class MountWhenRenaming : public RunObserver {
  public:
    MountWhenRenaming(QString when, QString on) : m_when(std::move(when)), m_on(std::move(on)) {}
    ~MountWhenRenaming() override {
        if (mounted) QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), m_on});
    }
    MountWhenRenaming(const MountWhenRenaming&) = delete;
    MountWhenRenaming& operator=(const MountWhenRenaming&) = delete;

    int AboutToRename(const std::vector<FolderRow>& /*rows*/, const QString& from,
                      const QString& /*to*/) override {
        if (from == m_when && !mounted) {
            mounted = QProcess::execute(QStringLiteral("mount"),
                                        {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                         QStringLiteral("tmpfs"), m_on}) == 0;
        }
        return 0;
    }
    void Renamed(const QString&, const QString&, const FolderRenameResult&) override {}

    bool mounted = false;

  private:
    QString m_when;
    QString m_on;
};

TEST_F(PlanOnAMount, AFolderMountedOnDuringTheRunIsRefused) {
    // Three rows of one parent: the second folder is mounted on while the first is renamed,
    // so whatever the run learnt of the parent's first row must not answer for it.
    Make({"mnt/p/a", "mnt/p/b", "mnt/p/c"});
    const std::vector<FolderRow> rows = Rows(
        {{"mnt/p/a", "mnt/p/a2", {}}, {"mnt/p/b", "mnt/p/b2", {}}, {"mnt/p/c", "mnt/p/c2", {}}});
    MountWhenRenaming mounting(PathOf(QStringLiteral("mnt/p/a")),
                               PathOf(QStringLiteral("mnt/p/b")));
    std::vector<FolderRow> played = rows;
    const RenameRun run =
        ApplyRenames(played, {}, Observed(DefaultRenamePlatform(), mounting), RunControl{});
    ASSERT_TRUE(mounting.mounted);
    ASSERT_EQ(run.outcomes.size(), 3u);
    EXPECT_EQ(run.outcomes[0].fate.status, RowStatus::Renamed);
    EXPECT_EQ(run.outcomes[1].fate.refusal, RefusalReason::Protected)
        << Line(run.outcomes[1].fate).constData();
    EXPECT_TRUE(run.outcomes[1].fate.detail.contains(QStringLiteral("mounted")));
    EXPECT_EQ(run.outcomes[2].fate.status, RowStatus::Renamed);
}

// --- The property: over random trees, every prediction comes true ----------------------------

/// How a random tree is made and renamed.
struct TreeShape {
    bool ignoreCase;    ///< names in one folder differ other than in case
    bool unprivileged;  ///< modes and owners vary, and the run is an ordinary user's
};

/// Makes one random tree under `root` and the rows of a preview over it, as an add and a
/// preview pass would leave them, and some rows whose folders have gone since.
class RandomTree {
  public:
    RandomTree(std::mt19937& random, const QString& root, TreeShape shape)
        : m_random(random), m_root(root), m_shape(shape) {}

    std::vector<FolderRow> Make() {
        QDir().mkpath(m_root);
        m_folders.clear();
        MakeBelow(m_root, 0);
        std::vector<FolderRow> rows = ListRows();
        Disturb();
        return rows;
    }

  private:
    static constexpr const char* kNames[] = {"a", "a1", "b", "b1", "ab", "c"};

    size_t Pick(size_t count) {
        return std::uniform_int_distribution<size_t>(0, count - 1)(m_random);
    }
    bool Chance(int percent) { return static_cast<int>(Pick(100)) < percent; }
    QString AnyName() { return QString::fromUtf8(kNames[Pick(std::size(kNames))]); }

    void MakeBelow(const QString& folder, int depth) {
        QStringList taken;
        const size_t children = depth >= 3 ? 0 : Pick(4);
        for (size_t i = 0; i < children + 1; ++i) {
            QString name = AnyName();
            if (!m_shape.ignoreCase && Chance(20)) name = name.toUpper();
            if (taken.contains(name,
                               m_shape.ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive)) {
                continue;
            }
            taken << name;
            const QString path = folder + u'/' + name;
            if (i == children) {  // something other than a folder at a name rows may want
                if (Chance(50)) {
                    QFile file(path);
                    file.open(QIODevice::WriteOnly);
                } else if (Chance(50)) {
                    QFile::link(m_root + QStringLiteral("/nowhere"), path);
                }
                continue;
            }
            QDir().mkdir(path);
            m_folders << path;
            MakeBelow(path, depth + 1);
        }
    }

    std::vector<FolderRow> ListRows() {
        QStringList listed;
        const auto folders = static_cast<size_t>(m_folders.size());
        const size_t count = folders == 0 ? 0 : Pick(folders + 3);
        for (size_t i = 0; i < count; ++i)
            listed << m_folders[static_cast<qsizetype>(Pick(folders))];
        switch (Pick(3)) {  // deepest first as one add gives them, parents first, or any order
            case 0:
                std::sort(listed.begin(), listed.end(), [](const QString& a, const QString& b) {
                    return a.count(u'/') > b.count(u'/');
                });
                break;
            case 1:
                std::sort(listed.begin(), listed.end());
                break;
            default:
                std::shuffle(listed.begin(), listed.end(), m_random);
        }
        std::vector<FolderRow> rows;
        for (const QString& path : listed) {
            const QString parent = path.left(path.lastIndexOf(u'/') + 1);
            const QString name = path.mid(parent.size());
            QString newName;
            switch (Pick(12)) {
                case 0:
                    newName = name;
                    break;
                case 1:
                    newName = name.toUpper() == name ? name.toLower() : name.toUpper();
                    break;
                case 2:
                    rows.push_back({path + u'/', QString()});
                    continue;
                case 3:
                    newName = QStringList{"", ".", "x/y", QString(300, u'n')}[Pick(4)];
                    break;
                default:
                    newName = AnyName();
                    if (Chance(15)) newName = newName.toUpper();
            }
            rows.push_back({path + u'/', parent + newName + u'/'});
        }
        return rows;
    }

    /// Folders gone or replaced since they were listed; modes and owners of an ordinary user.
    void Disturb() {
        if (m_shape.unprivileged) ::chown(QFile::encodeName(m_root).constData(), kNobody, kNobody);
        for (const QString& folder : m_folders) {
            const QByteArray path = QFile::encodeName(folder);
            if (Chance(4)) {
                QDir(folder).removeRecursively();
                if (Chance(50)) QFile(folder).open(QIODevice::WriteOnly);
                continue;
            }
            if (!m_shape.unprivileged) continue;
            ::chown(path.constData(), kNobody, kNobody);
            if (Chance(12)) {
                ::chmod(path.constData(), 0555);
            } else if (Chance(4)) {
                ::chmod(path.constData(), 0600);
            } else if (Chance(12)) {
                ::chmod(path.constData(), 01777);
                ::chown(path.constData(), kSomeoneElse, kSomeoneElse);
            } else if (Chance(10)) {
                ::chown(path.constData(), kSomeoneElse, kSomeoneElse);
            }
        }
    }

    std::mt19937& m_random;
    QString m_root;
    TreeShape m_shape;
    QStringList m_folders;
};

struct PropertyCase {
    const char* name;
    TreeShape shape;
    int trees;
};

/// Failures name the row of the table.
void PrintTo(const PropertyCase& c, std::ostream* out) { *out << c.name; }

class PlanProperty : public TempTree, public ::testing::WithParamInterface<PropertyCase> {};

TEST_P(PlanProperty, EveryPredictionComesTrue) {
    const PropertyCase& c = GetParam();
    if (c.shape.unprivileged && ::geteuid() != 0) GTEST_SKIP() << "needs root to hand over";
    const RenamePlatform platform =
        c.shape.ignoreCase ? testing::CaseInsensitiveView() : DefaultRenamePlatform();
    std::mt19937 random(20261208);

    std::vector<std::vector<FolderRow>> trees;
    trees.reserve(static_cast<size_t>(c.trees));
    for (int i = 0; i < c.trees; ++i) {
        trees.push_back(RandomTree(random, PathOf(QStringLiteral("t%1").arg(i)), c.shape).Make());
    }
    if (c.shape.unprivileged) {
        ASSERT_EQ(::chown(QFile::encodeName(Root()).constData(), kNobody, kNobody), 0);
    }
    const auto compareAll = [&] {
        QByteArray all;
        for (const std::vector<FolderRow>& rows : trees) all += PlanThenRun(rows, platform);
        return all;
    };
    if (c.shape.unprivileged &&
        !testing::UserCanReach(kNobody, kNobody, QFile::encodeName(Root()))) {
        GTEST_SKIP() << "an ordinary user cannot reach " << Root().toStdString()
                     << " on this machine (a folder on the way shuts other users out)";
    }
    const std::optional<QByteArray> report =
        c.shape.unprivileged ? testing::RunAsUser(kNobody, kNobody, compareAll) : compareAll();
    ASSERT_TRUE(report.has_value());

    qsizetype rows = 0;
    std::map<QByteArray, int> statuses;
    QByteArrayList wrong;
    for (const QByteArray& line : report->split('\n')) {
        if (line.startsWith("row ")) {
            wrong << line;
        } else if (!line.isEmpty()) {
            QByteArrayList words = line.split(' ');
            rows += words.takeFirst().toLongLong();
            for (const QByteArray& word : words) ++statuses[word];
        }
    }
    std::cout << "[ compared ] " << c.trees << " trees, " << rows << " rows:";
    for (const auto& [keyword, count] : statuses)
        std::cout << ' ' << keyword.constData() << ' ' << count;
    std::cout << '\n';
    // Every status the tree can give is met, or the trees are too tame to tell anything.
    for (const char* keyword :
         {"ok", "unchanged", "not-previewed", "refused", "taken", "claimed", "missing"}) {
        EXPECT_GT(statuses[keyword], 0) << keyword;
    }
    EXPECT_TRUE(wrong.isEmpty()) << wrong.size() << " rows planned wrong, first:\n"
                                 << wrong.mid(0, 10).join('\n').constData();
}

INSTANTIATE_TEST_SUITE_P(Trees, PlanProperty,
                         ::testing::Values(PropertyCase{"AsRoot", {false, false}, 200},
                                           PropertyCase{"IgnoringCase", {true, false}, 150},
                                           PropertyCase{"AsAnOrdinaryUser", {false, true}, 200}),
                         [](const ::testing::TestParamInfo<PropertyCase>& test) {
                             return std::string(test.param.name);
                         });

}  // namespace
}  // namespace trellisane
