#include "folders/folder_list.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <vector>
#include "tests/support/hash_neighbours.h"

namespace trellisane {
namespace {

struct BatchRow {
    const char* label;
    char16_t separator;
    QStringList gathered;
    QStringList appended;
};

void PrintTo(const BatchRow& row, std::ostream* out) { *out << row.label; }

class BatchOrder : public ::testing::TestWithParam<BatchRow> {};

TEST_P(BatchOrder, IsDeepestFirstThenBinaryOrder) {
    const BatchRow& row = GetParam();
    EXPECT_EQ(SortBatch(row.gathered, QChar(row.separator)), row.appended);
}

/// `count` nested levels below "/": "/d/d/.../".
QString Nested(int count) {
    QString path = "/";
    for (int i = 0; i < count; ++i) path += "d/";
    return path;
}

INSTANTIATE_TEST_SUITE_P(
    Folders, BatchOrder,
    ::testing::Values(
        BatchRow{"Empty", u'/', {}, {}}, BatchRow{"One", u'/', {"/a/"}, {"/a/"}},
        BatchRow{"WindowsExample",
                 u'\\',
                 {"C:\\A\\", "C:\\A\\B\\", "C:\\A\\a\\", "C:\\A\\B\\C\\"},
                 {"C:\\A\\B\\C\\", "C:\\A\\B\\", "C:\\A\\a\\", "C:\\A\\"}},
        BatchRow{"SameWithSlashes",
                 u'/',
                 {"/A/", "/A/B/", "/A/a/", "/A/B/C/"},
                 {"/A/B/C/", "/A/B/", "/A/a/", "/A/"}},
        // Depth decides before the letters do.
        BatchRow{"DeeperUpperFirst", u'\\', {"C:\\a\\", "C:\\B\\x\\"}, {"C:\\B\\x\\", "C:\\a\\"}},
        BatchRow{"UpperBeforeLower", u'\\', {"C:\\a\\", "C:\\B\\"}, {"C:\\B\\", "C:\\a\\"}},
        // A backslash is no separator on this platform's paths.
        BatchRow{"OtherSeparatorIsAName", u'/', {"/a/", "/b\\c\\d\\"}, {"/a/", "/b\\c\\d\\"}},
        // Code units, not letters: '-' (2D) < '/' (2F) < 'b' (62).
        BatchRow{"BinaryNotNatural", u'/', {"/ab/", "/a/", "/a-/"}, {"/a-/", "/a/", "/ab/"}},
        // A surrogate (D83D) sorts before U+FF21 by code unit, after it by code point.
        BatchRow{"SurrogatesByCodeUnit",
                 u'/',
                 {"/\uFF21/", "/\U0001F600/"},
                 {"/\U0001F600/", "/\uFF21/"}},
        // Depths of 91 and more still sort as numbers: 100 before 95 before 10 before 9.
        BatchRow{"VeryDeepAsNumbers",
                 u'/',
                 {Nested(9), Nested(95), Nested(10), Nested(100)},
                 {Nested(100), Nested(95), Nested(10), Nested(9)}},
        // The old joined key's separator inside a name changes nothing.
        BatchRow{"PipeInNames",
                 u'/',
                 {"/x|agksdfjmySEPERATZZZ|y/", "/x|/z/", "/x/"},
                 {"/x|/z/", "/x/", "/x|agksdfjmySEPERATZZZ|y/"}},
        BatchRow{"DuplicatesKept", u'/', {"/a/", "/a/b/", "/a/"}, {"/a/b/", "/a/", "/a/"}}),
    [](const ::testing::TestParamInfo<BatchRow>& test) { return std::string(test.param.label); });

/// The order a batch must come out in, by its definition: a stable sort by depth, deepest
/// first, then by whole path in UTF-16 code units.
QStringList WholePathOrder(QStringList paths, QChar separator) {
    std::stable_sort(paths.begin(), paths.end(), [separator](const QString& a, const QString& b) {
        const qsizetype da = PathDepth(a, separator);
        const qsizetype db = PathDepth(b, separator);
        return da != db ? da > db : BinaryLess(a, b);
    });
    return paths;
}

// Batches of generated paths: names drawn from pieces that sit on either side of the separator
// in code-unit order (' ' and '-' below '/', '0' above it), names that are prefixes of their
// siblings ("a", "a b", "a-", "ab"), characters above U+FFFF (whose surrogates sort below
// U+FF21 by code unit), empty names (doubled separators), repeated paths, and paths without
// a final separator. The tree's order must be exactly the whole-path order.
TEST(BatchOrder, TreeOrderIsWholePathOrderOnGeneratedNames) {
    const QStringList pieces{"a", " ", "-", "b", "0", "\\", "\u00e9", "\uFF21", "\U0001F600", "."};
    for (const QChar separator : {QChar(u'/'), QChar(u'\\')}) {
        std::mt19937 random(20261209);
        for (int trial = 0; trial < 300; ++trial) {
            const auto pick = [&random](auto bound) {
                return static_cast<qsizetype>(random() % static_cast<unsigned>(bound));
            };
            QStringList batch;
            const qsizetype size = pick(40);
            for (qsizetype i = 0; i < size; ++i) {
                if (!batch.isEmpty() && pick(6) == 0) {
                    // A sibling or a child of an earlier path, so prefixes meet.
                    QString path = batch[pick(batch.size())];
                    if (pick(2) == 0 && path.endsWith(separator)) path.chop(1);
                    path += pieces[pick(pieces.size())];
                    batch << (pick(8) == 0 ? path : path + separator);
                    continue;
                }
                QString path = pick(4) == 0 ? QString() : QString(separator);
                const qsizetype depth = pick(5);
                for (qsizetype level = 0; level < depth; ++level) {
                    const qsizetype length = pick(4);
                    for (qsizetype c = 0; c < length; ++c) {
                        path += pieces[pick(level == 0 ? 4 : pieces.size())];
                    }
                    path += separator;
                }
                if (pick(10) == 0) path += pieces[pick(pieces.size())];
                batch << path;
            }
            // Now and then a folder with many sub-folders, which are looked up another way.
            for (int i = 0; trial % 10 == 0 && i < 40; ++i) {
                batch << QString(separator) + pieces[pick(4)] + separator + pieces[pick(4)] +
                             QString::number(pick(30)) + separator;
            }
            ASSERT_EQ(SortBatch(batch, separator), WholePathOrder(batch, separator))
                << "trial " << trial << ": " << batch.join(u'|').toStdString();
        }
    }
}

/// Records every notification as text.
class Recorder : public FolderListObserver {
  public:
    void BeginInsert(qsizetype first, qsizetype last) override { Add("BeginInsert", first, last); }
    void EndInsert() override { calls.push_back("EndInsert"); }
    void BeginRemove(qsizetype first, qsizetype last) override { Add("BeginRemove", first, last); }
    void EndRemove() override { calls.push_back("EndRemove"); }
    void BeginReset() override { calls.push_back("BeginReset"); }
    void EndReset() override { calls.push_back("EndReset"); }
    void Changed(qsizetype first, qsizetype last) override { Add("Changed", first, last); }

    std::vector<std::string> calls;

  private:
    void Add(const char* what, qsizetype first, qsizetype last) {
        calls.push_back(std::string(what) + " " + std::to_string(first) + "-" +
                        std::to_string(last));
    }
};

/// The path SetNewName writes: the current path's parent part, the name and a separator.
std::optional<QString> BuildNewPathOf(const QString& current, const QString& name) {
    const QString shortened = current.endsWith(u'/') ? current.chopped(1) : current;
    return shortened.left(shortened.lastIndexOf(u'/') + 1) + name + u'/';
}

QStringList Currents(const FolderList& list) {
    QStringList paths;
    for (qsizetype i = 1; i <= list.Count(); ++i) paths << list.Row(i).current;
    return paths;
}

TEST(FolderList, BatchesAppendAfterExistingRowsWithEmptyNewPaths) {
    FolderList list;
    Recorder recorder;
    list.SetObserver(&recorder);
    list.AppendBatch({"/z/"});
    list.SetNewPath(1, "/y/");
    list.AppendBatch({"/a/", "/a/b/"});
    list.AppendBatch({});
    EXPECT_EQ(Currents(list), (QStringList{"/z/", "/a/b/", "/a/"}));
    EXPECT_EQ(list.Row(1).newPath, "/y/");
    EXPECT_TRUE(list.Row(2).newPath.isEmpty());
    EXPECT_EQ(recorder.calls,
              (std::vector<std::string>{"BeginInsert 1-1", "EndInsert", "Changed 1-1",
                                        "BeginInsert 2-3", "EndInsert"}));
}

TEST(FolderList, RowsMadeOnAWorkerAppendAsTheListWouldMakeThem) {
    // Taken over by an empty list, copied in by a list with rows of its own: the same rows
    // and notifications as AppendOrdered either way; and the room made for the preview's new
    // names means that making them grows no table.
    for (const bool alreadyListed : {false, true}) {
        SCOPED_TRACE(alreadyListed);
        FolderTree tree(u'/');
        const std::vector<FolderTree::NodeId> ordered{tree.Add(u"/p/b/"), tree.Add(u"/p/")};
        FolderList::PreparedRows rows = FolderList::PrepareRows(ordered);
        tree.ReserveMore(ordered.size(), 2 * tree.NameUnits());
        FolderList list;
        if (alreadyListed) list.AppendInOrder({"/z/"});
        Recorder recorder;
        list.SetObserver(&recorder);
        list.AppendOrdered(std::move(tree), ordered, std::move(rows));
        const QStringList expected = alreadyListed ? QStringList{"/z/", "/p/b/", "/p/"}
                                                   : QStringList{"/p/b/", "/p/"};
        EXPECT_EQ(Currents(list), expected);
        EXPECT_EQ(recorder.calls, (std::vector<std::string>{
                                      alreadyListed ? "BeginInsert 2-3" : "BeginInsert 1-2",
                                      "EndInsert"}));
        if (alreadyListed) continue;
        const std::size_t room = list.Tree().MemoryUse();
        list.SetNewPath(1, "/p/b2/");
        list.SetNewPath(2, "/p2/");
        EXPECT_EQ(list.Tree().MemoryUse(), room);
        EXPECT_EQ(list.NewPath(1), "/p/b2/");
    }
}

TEST(FolderList, RemovesByOneBasedPositionAndClears) {
    FolderList list;
    list.AppendInOrder({"/1/", "/2/", "/3/", "/4/"});
    Recorder recorder;
    list.SetObserver(&recorder);
    list.Remove(1);
    list.Remove(list.Count());
    EXPECT_EQ(Currents(list), (QStringList{"/2/", "/3/"}));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(recorder.calls,
              (std::vector<std::string>{"BeginRemove 1-1", "EndRemove", "BeginRemove 3-3",
                                        "EndRemove", "BeginReset", "EndReset"}));
}

TEST(FolderList, BulkChangeSendsOneChangeAtTheOutermostEnd) {
    FolderList list;
    list.AppendInOrder({"/1/", "/2/", "/3/"});
    Recorder recorder;
    list.SetObserver(&recorder);
    {
        FolderList::BulkChange outer(list);
        {
            FolderList::BulkChange inner(list);
            list.SetNewPath(2, "/two/");
        }
        list.SetCurrent(3, "/three/");
        EXPECT_TRUE(recorder.calls.empty());
    }
    { FolderList::BulkChange untouched(list); }
    EXPECT_EQ(recorder.calls, std::vector<std::string>{"Changed 1-3"});
    EXPECT_EQ(list.Row(2).newPath, "/two/");
    EXPECT_EQ(list.Row(3).current, "/three/");
}

// Rows written at random read back exactly, through every rebuild of the list's tree, and the
// tree does not keep the paths no row refers to any more.
TEST(FolderList, RowsWrittenAtRandomReadBackThroughReclaimedNodes) {
    std::mt19937 random(23);
    const auto pick = [&random](qsizetype n) {
        return static_cast<int>(random() % static_cast<unsigned>(n));
    };
    const QStringList names{"a", "b", "c c", "d", ""};
    const auto path = [&] {
        QString text;
        const int depth = pick(4);
        for (int i = 0; i < depth; ++i) text += u'/' + names[pick(names.size())];
        if (pick(4) != 0) text += u'/';
        return text + (pick(3) == 0 ? QString::number(pick(100000)) + u'/' : QString());
    };
    FolderList list;
    std::vector<FolderRow> mirror;
    qsizetype mostNodes = 0;
    for (int step = 0; step < 40000; ++step) {
        const int what = mirror.empty() ? 0 : pick(10);
        const qsizetype position =
            mirror.empty() ? 0 : pick(static_cast<qsizetype>(mirror.size())) + 1;
        if (what == 0 && mirror.size() < 300) {
            const QString added = path();
            list.AppendInOrder({added});
            mirror.push_back(FolderRow{added, QString()});
        } else if (what <= 3) {
            const QString written = pick(5) == 0 ? QString() : path();
            list.SetNewPath(position, written, 7);
            mirror[static_cast<std::size_t>(position - 1)].newPath = written;
            mirror[static_cast<std::size_t>(position - 1)].pass = 7;
        } else if (what <= 6) {
            const QString name = names[pick(names.size())] + QString::number(pick(100000));
            list.SetNewName(position, name, 9);
            FolderRow& row = mirror[static_cast<std::size_t>(position - 1)];
            row.newPath = *BuildNewPathOf(row.current, name);
            row.pass = 9;
        } else if (what <= 8) {
            const QString written = path();
            list.SetCurrent(position, written);
            mirror[static_cast<std::size_t>(position - 1)].current = written;
        } else {
            list.Remove(position);
            mirror.erase(mirror.begin() + (position - 1));
        }
        mostNodes = std::max(mostNodes, list.Tree().NodeCount());
        if (step % 1000 == 0 || step == 39999) {
            ASSERT_EQ(list.Count(), static_cast<qsizetype>(mirror.size()));
            for (qsizetype i = 1; i <= list.Count(); ++i) {
                const FolderRow& want = mirror[static_cast<std::size_t>(i - 1)];
                ASSERT_EQ(list.Row(i).current, want.current) << "step " << step << " row " << i;
                ASSERT_EQ(list.Row(i).newPath, want.newPath) << "step " << step << " row " << i;
                ASSERT_EQ(list.Row(i).pass, want.pass);
            }
        }
    }
    // At most 300 rows of two short paths each, against some twenty thousand nodes made.
    EXPECT_LT(mostNodes, 8000);
    list.Clear();
    EXPECT_EQ(list.Tree().NodeCount(), 1);
}

TEST(FolderTree, TwoFoldersOfOneNameWhoseParentsShareAHashStayApart) {
    // The child table mixes parent and name into 32 bits, so among the many parents of a large
    // tree two share the hash of a child's name: find the first such pair of node numbers.
    const auto pair = testing::ParentsSharingAHash(u"x");
    if (!pair) GTEST_SKIP() << "no two node numbers share a hash here";
    const int first = pair->first;
    const int second = pair->second;

    // "/a/" and "/b/" made as those nodes, each with enough children to be found through the
    // table, and "x" among them.
    FolderTree tree(u'/');
    const auto fillTo = [&](int node) {
        while (tree.NodeCount() < node) tree.Add(QStringLiteral("/f%1/").arg(tree.NodeCount()));
    };
    const auto withChildren = [&](const QString& parent) {
        for (int child = 0; child < 64; ++child) tree.Add(parent + QString::number(child) + u'/');
    };
    fillTo(first);
    ASSERT_EQ(tree.Add(u"/a/"), first);
    withChildren(QStringLiteral("/a/"));
    const FolderTree::NodeId ax = tree.Add(u"/a/x/");
    fillTo(second);
    ASSERT_EQ(tree.Add(u"/b/"), second);
    withChildren(QStringLiteral("/b/"));
    const FolderTree::NodeId bx = tree.Add(u"/b/x/");
    EXPECT_NE(ax, bx);
    EXPECT_EQ(tree.PathOf(bx), QStringLiteral("/b/x/"));
    EXPECT_EQ(tree.Find(u"/a/x/"), ax);
}

}  // namespace
}  // namespace trellisane
