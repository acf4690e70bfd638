// A run on two threads against the same run on one: for each tree and row list, two copies
// of the tree are renamed, one each way, and must end alike in every respect a caller sees.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <memory>
#include <utility>
#include <vector>

#include "rename/rename_platform.h"
#include "rename/rename_run.h"

// Failures show the paths as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace trellisane {
namespace {

struct TwoThreadCase {
    const char* name;
    /// "d:PATH" a folder (with its parents), "f:PATH" a file, "l:PATH=TARGET" a symbolic link.
    std::vector<const char*> tree;
    std::vector<std::pair<const char*, const char*>> rows;  ///< current, new; "" not previewed
    int stopAfter = 0;  ///< the run is asked to stop once this many rows were told; 0: never
};

void PrintTo(const TwoThreadCase& c, std::ostream* out) { *out << c.name; }

/// What one run left: everything a caller can see, with the run's own folder written "R".
struct Seen {
    std::vector<RowFate> fates;
    QStringList reports;  ///< the failures told, in the order told
    QStringList rows;     ///< each row's current and new path afterwards
    QStringList disk;     ///< every entry below the run's folder, with its kind
    qsizetype tried = 0;
    qsizetype sideBySide = 0;
};

class TwoThreadRunTest : public ::testing::TestWithParam<TwoThreadCase> {
  protected:
    void SetUp() override {
        // Side by side needs a local file system the run can prove it on: tmpfs first.
        for (const QString& place : {QStringLiteral("/dev/shm"), QDir::tempPath()}) {
            auto dir =
                std::make_unique<QTemporaryDir>(place + QStringLiteral("/two-threads-XXXXXX"));
            if (dir->isValid() && PlainFolderIdentity(dir->path())) {
                m_dir = std::move(dir);
                return;
            }
        }
        GTEST_SKIP() << "no file system here on which renames are proven to commute";
    }

    /// Makes the case's tree in `base`.
    static void Make(const QString& base, const TwoThreadCase& c) {
        ASSERT_TRUE(QDir().mkpath(base));
        for (const QString entry : c.tree) {
            const QString what = entry.mid(2);
            if (entry.startsWith(u"d:")) {
                ASSERT_TRUE(QDir().mkpath(base + u'/' + what)) << what.toStdString();
            } else if (entry.startsWith(u"f:")) {
                QFile file(base + u'/' + what);
                ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << what.toStdString();
            } else {
                const QStringList link = what.split(u'=');
                ASSERT_EQ(::symlink(QFile::encodeName(link[1]).constData(),
                                    QFile::encodeName(base + u'/' + link[0]).constData()),
                          0)
                    << what.toStdString();
            }
        }
    }

    static Seen Run(const QString& base, const TwoThreadCase& c, int threads, qsizetype stopAt) {
        const auto normal = [&base](QString text) {
            return text.replace(base, QStringLiteral("R"));
        };
        std::vector<FolderRow> rows;
        for (const auto& [current, newPath] : c.rows) {
            const QString to = QString::fromUtf8(newPath);
            rows.push_back(FolderRow{base + u'/' + QString::fromUtf8(current) + u'/',
                                     to.isEmpty() ? QString() : base + u'/' + to + u'/'});
        }
        Seen seen;
        qsizetype told = 0;
        RunControl control;
        control.threads = threads;
        control.starting = [&](qsizetype position, qsizetype, const QString& current) {
            EXPECT_EQ(position, ++told);
            EXPECT_EQ(current, rows[static_cast<size_t>(position - 1)].current);
        };
        control.cancelled = [&] { return stopAt > 0 && told >= stopAt; };
        const RenameRun run = ApplyRenames(
            rows, [&](const RowOutcome& outcome) { seen.reports << normal(outcome.Report()); },
            DefaultRenamePlatform(), control);
        for (const RowOutcome& outcome : run.outcomes) seen.fates.push_back(outcome.fate);
        for (const FolderRow& row : rows)
            seen.rows << normal(row.current) + u'|' + normal(row.newPath);
        QDirIterator it(base, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo entry(it.next());
            QString kind = entry.isDir() ? QStringLiteral("dir") : QStringLiteral("file");
            if (entry.isSymLink()) {
                char target[256] = {};
                const ssize_t size = ::readlink(QFile::encodeName(entry.filePath()).constData(),
                                                target, sizeof target - 1);
                kind = QStringLiteral("link>") + QString::fromUtf8(target, size < 0 ? 0 : size);
            }
            seen.disk << normal(entry.filePath()) + u'|' + kind;
        }
        seen.disk.sort();
        seen.tried = run.tried;
        seen.sideBySide = run.sideBySide;
        return seen;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

TEST_P(TwoThreadRunTest, EndsAsTheRunOnOneThread) {
    const TwoThreadCase& c = GetParam();
    const QString one = m_dir->path() + QStringLiteral("/one");
    const QString two = m_dir->path() + QStringLiteral("/two");
    Make(one, c);
    Make(two, c);
    const Seen side = Run(two, c, 2, c.stopAfter);
    // Asked to stop, the two threads stop between groups of rows: the one thread is stopped
    // where they stopped.
    const Seen alone = Run(one, c, 1, c.stopAfter > 0 ? side.tried : 0);

    EXPECT_GT(side.sideBySide, 0) << "the second thread renamed nothing";
    EXPECT_EQ(alone.sideBySide, 0);
    EXPECT_EQ(side.tried, alone.tried);
    ASSERT_EQ(side.fates.size(), alone.fates.size());
    for (size_t i = 0; i < side.fates.size(); ++i) {
        EXPECT_EQ(side.fates[i], alone.fates[i])
            << "row " << i + 1 << ": " << StatusKeyword(side.fates[i].status) << " / "
            << StatusKeyword(alone.fates[i].status);
    }
    EXPECT_EQ(side.reports, alone.reports);
    EXPECT_EQ(side.rows, alone.rows);
    EXPECT_EQ(side.disk, alone.disk);
    if (c.stopAfter > 0) {
        EXPECT_GE(side.tried, c.stopAfter);
        EXPECT_LT(side.tried, static_cast<qsizetype>(c.rows.size()));
    }
}

// Each list holds two or more parents at its first depth, so that a group goes side by side.
INSTANTIATE_TEST_SUITE_P(
    Runs, TwoThreadRunTest,
    ::testing::Values(
        TwoThreadCase{"NestedDeepestFirst",
                      {"d:a/x/1", "d:a/x/2", "d:a/y/1", "d:b/x/1", "d:b/y/1", "d:b/y/2"},
                      {{"a/x/1", "a/x/1_n"},
                       {"a/x/2", "a/x/2_n"},
                       {"a/y/1", "a/y/1_n"},
                       {"b/x/1", "b/x/1_n"},
                       {"b/y/1", "b/y/1_n"},
                       {"b/y/2", "b/y/2_n"},
                       {"a/x", "a/x_n"},
                       {"a/y", "a/y_n"},
                       {"b/x", "b/x_n"},
                       {"b/y", "b/y_n"},
                       {"a", "a_n"},
                       {"b", "b_n"}}},
        TwoThreadCase{"SiblingsClaimingAndSwapping",
                      {"d:p/1", "d:p/2", "d:p/3", "d:q/1", "d:q/2", "d:q/3", "d:q/5"},
                      {{"p/1", "p/2"},
                       {"q/1", "q/9"},
                       {"p/2", "p/3"},
                       {"q/2", "q/9"},
                       {"p/3", "p/1"},
                       {"q/3", "q/4"},
                       {"q/5", "q/3"},
                       {"p/1", "p/t"},
                       {"p/2", "p/1"},
                       {"p/t", "p/2"}}},
        TwoThreadCase{"NamesTakenByAFileAndALink",
                      {"d:p/a", "d:p/c", "f:p/f", "d:q/a", "l:p/l=a"},
                      {{"p/a", "p/f"}, {"q/a", "q/b"}, {"p/c", "p/l"}, {"p/l", "p/m"}}},
        TwoThreadCase{"MissingRefusedAndUntouched",
                      {"d:p/a", "d:p/b", "d:q/a", "d:q/b", "d:q/u"},
                      {{"p/gone", "p/x"},
                       {"q/a", "q/c"},
                       {"p/a", "p/.."},
                       {"q/b", ""},
                       {"p/b", "p/b/x"},
                       {"q/u", "q/u"}}},
        TwoThreadCase{"AFolderListedTwice",
                      {"d:p/a", "d:q/a"},
                      {{"p/a", "p/b"}, {"q/a", "q/b"}, {"p/a", "p/b"}, {"q/a", "q/c"}}},
        TwoThreadCase{"AParentThroughALinkAndByItsRealPath",
                      {"d:p/a", "d:p/x", "d:q/1", "d:q/2", "d:q/3", "d:q/4", "d:q/5", "l:L=p"},
                      {{"p/x", "p/y"},
                       {"L/a", "L/b"},
                       {"q/1", "q/1n"},
                       {"q/2", "q/2n"},
                       {"q/3", "q/3n"},
                       {"q/4", "q/4n"},
                       {"q/5", "q/5n"},
                       {"p/b", "p/c"},
                       {"L/y", "L/z"},
                       {"L/x", "L/w"}}},
        TwoThreadCase{"StoppedAfterAFewRows",
                      {"d:a/1", "d:a/2", "d:b/1", "d:b/2", "d:c/1", "d:c/2"},
                      {{"a/1", "a/1_n"},
                       {"a/2", "a/2_n"},
                       {"b/1", "b/1_n"},
                       {"b/2", "b/2_n"},
                       {"c/1", "c/1_n"},
                       {"c/2", "c/2_n"},
                       {"a", "a_n"},
                       {"b", "b_n"},
                       {"c", "c_n"}},
                      3}),
    [](const ::testing::TestParamInfo<TwoThreadCase>& param) { return param.param.name; });

}  // namespace
}  // namespace trellisane
