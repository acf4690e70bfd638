// The carrying index against the plainest statement of what it promises: a list of (path, id)
// in which a move rebases every path that starts with `from`. Random paths over a few short
// names make every trap likely: '/a/b/' against '/a/bc/' and '/a b/', empty components,
// moves onto paths already filed, into a moved folder's own sub-tree, and the empty path.

#include "rename/path_index.h"

#include <gtest/gtest.h>

#include <QString>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <vector>
#include "tests/support/hash_neighbours.h"

namespace trellisane {
namespace {

class PathIndexProperty : public ::testing::TestWithParam<unsigned> {};

TEST_P(PathIndexProperty, MovesAndLookUpsAgreeWithAPlainList) {
    std::mt19937 random(GetParam());
    const char* names[] = {"a", "b", "ab", "a b", "", "c"};
    const auto randomPath = [&] {
        QString path;
        for (unsigned depth = 1 + random() % 4; depth > 0; --depth) {
            path += u'/' + QString::fromLatin1(names[random() % 6]);
        }
        return path + u'/';
    };
    for (int round = 0; round < 300; ++round) {
        PathIndex index;
        std::map<qsizetype, QString> expected;  // id -> path
        std::map<qsizetype, QString> carried;
        for (qsizetype id = 0, ids = 1 + random() % 12; id < ids; ++id) {
            const QString path = random() % 10 == 0 ? QString() : randomPath();
            index.Add(path, id);
            expected[id] = carried[id] = path;
        }
        for (int move = 0; move < 8; ++move) {
            QString from = randomPath();
            const QString to = randomPath();
            if (random() % 3 == 0 && !expected[0].isEmpty()) from = expected[0];
            std::set<qsizetype> moved;
            std::set<qsizetype> visited;
            for (auto& [id, path] : expected) {
                if (!path.startsWith(from)) continue;
                path = to + path.mid(from.size());
                moved.insert(id);
            }
            index.Move(from, to, [&](qsizetype id, const QString& now) {
                carried[id] = now;
                visited.insert(id);
            });
            ASSERT_EQ(carried, expected) << from.toStdString() << " -> " << to.toStdString();
            ASSERT_EQ(visited, moved);
            for (const QString& path : {QString(), randomPath(), randomPath(), to}) {
                std::multiset<qsizetype> there;
                for (const auto& [id, where] : expected) {
                    if (where == path) there.insert(id);
                }
                const std::vector<qsizetype> found = index.At(path);
                ASSERT_EQ(std::multiset<qsizetype>(found.begin(), found.end()), there)
                    << path.toStdString();
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, PathIndexProperty, ::testing::Values(1u, 2u, 3u, 4u));

TEST(PathIndexTest, TwoFoldersOfOneNameWhoseParentsShareAHashStayApart) {
    // The child table mixes parent and name into 32 bits, so among the many parents of a large
    // tree two share the hash of a child's name: find the first such pair of node numbers.
    const auto pair = testing::ParentsSharingAHash(u"x");
    if (!pair) GTEST_SKIP() << "no two node numbers share a hash here";
    const int first = pair->first;
    const int second = pair->second;

    // Folders numbered so that "/a/" and "/b/" are those nodes, each with a child "x".
    PathIndex index;
    int made = 1;  // the root and, with the first path, the empty first component
    const auto fillTo = [&](int node) {
        for (; made + 1 < node; ++made) index.Add(QStringLiteral("/f%1/").arg(made), -1);
    };
    fillTo(first);
    index.Add(QStringLiteral("/a/x/"), 1);
    made += 2;
    fillTo(second);
    index.Add(QStringLiteral("/b/x/"), 2);
    EXPECT_EQ(index.At(QStringLiteral("/a/x/")), std::vector<qsizetype>{1});
    EXPECT_EQ(index.At(QStringLiteral("/b/x/")), std::vector<qsizetype>{2});
}

}  // namespace
}  // namespace trellisane
