#pragma once

#include <QChar>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <utility>
#include <vector>

#include "child_table.h"
#include "path_separator.h"

namespace trellisane {

/// Folder paths kept as a tree of their components: each node is one component under its
/// parent, its name converted once and stored once, so a million paths under a few parents
/// cost a node each rather than a whole path each. Full paths are built only when asked for.
///
/// A path is split at the separator: "/p/a/" is the top node's child "" (the piece before the
/// first separator), its child "p", and that node's child "a". A final piece that does not end
/// with the separator is a node of its own kind ("open"), distinct from the same name with a
/// separator after it, so every text maps to exactly one node and back. The empty text is the
/// top node.
///
/// Sibling order is the order of each name followed by the separator (an open node's name
/// alone), compared in UTF-16 code units, a prefix first. Walking the tree in that order,
/// each node before its children, visits the nodes in exactly the binary order of their whole
/// paths; no whole path is compared or built for it.
class FolderTree {
  public:
    using NodeId = std::int32_t;
    /// The node of the empty path, above every first component.
    static constexpr NodeId kTop = 0;
    static constexpr NodeId kNone = -1;

    /// An empty tree (the top node only) whose paths use `separator`.
    explicit FolderTree(QChar separator = kPathSeparator);

    /// The node of `path`, made with every node above it where missing. O(components), plus
    /// the length of the path for hashing.
    NodeId Add(QStringView path);
    /// Add, for a caller that adds many paths sharing leading components (a walk's level
    /// order): the components `path` shares with the previous path given to AddNext are taken
    /// from it without a look-up. Same result as Add.
    NodeId AddNext(QStringView path);
    /// AddNext that keeps the previous path by sharing its text rather than copying it.
    NodeId AddNext(const QString& path);
    /// The node of `path`, or kNone when it was never added. O(components).
    NodeId Find(QStringView path) const;
    /// The child of `parent` named `name` (closed: followed by the separator; open: not), or
    /// kNone. O(length of the name).
    NodeId Child(NodeId parent, QStringView name, bool open = false) const;
    /// The child of `parent` named `name`, made where missing. O(length of the name).
    NodeId ChildOrNew(NodeId parent, QStringView name, bool open = false);

    /// Number of nodes, the top node included. O(1).
    qsizetype NodeCount() const { return static_cast<qsizetype>(m_nodes.size()); }
    /// The node above `node`; kNone for the top node. O(1).
    NodeId Parent(NodeId node) const { return m_nodes[Index(node)].parent; }
    /// The node's own component, without separator. O(1).
    const QString& Name(NodeId node) const { return m_nodes[Index(node)].name; }
    /// Whether the node is a final piece without a separator after it. O(1).
    bool IsOpen(NodeId node) const { return m_nodes[Index(node)].open; }
    /// Number of separators in the node's path. O(1).
    qsizetype Depth(NodeId node) const { return m_nodes[Index(node)].depth; }
    /// The node's whole path, built in one allocation. O(its length).
    QString PathOf(NodeId node) const;
    QChar Separator() const { return m_separator; }

    /// Every node in the binary order of its whole path, the top node first. O(n log fan-out)
    /// for sorting each node's children, without comparing or building whole paths.
    std::vector<NodeId> InPathOrder() const;
    /// Whether `a`'s name (with its separator unless open) sorts before `b`'s, both children of
    /// one parent: in UTF-16 code units, a prefix first. O(length of the shorter name).
    bool SiblingLess(NodeId a, NodeId b) const;

  private:
    struct Node {
        QString name;
        NodeId parent = kNone;
        NodeId firstChild = kNone;
        NodeId next = kNone;  ///< the next sibling, in the order they were made
        std::int32_t depth = 0;
        std::int32_t children = 0;
        std::uint32_t hash = 0;  ///< HashOf(name, open)
        bool open = false;
    };

    static std::size_t Index(NodeId node) { return static_cast<std::size_t>(node); }
    /// The hash of a name (and whether it is open), kept in its node.
    static std::uint32_t HashOf(QStringView name, bool open);
    NodeId Child(NodeId parent, QStringView name, bool open, std::uint32_t nameHash) const;
    /// Enters `node` in the table.
    void File(NodeId node);
    /// Below this many children a parent's are found through its list, not the table.
    static constexpr std::int32_t kListedChildren = 16;
    /// AddNext's work, leaving m_previous to the caller.
    NodeId AddAfterPrevious(QStringView path);

    QChar m_separator;
    std::vector<Node> m_nodes;
    /// The children of parents with many, by (parent, name).
    ChildTable m_table;
    /// AddNext's memory: the previous path and, for each of its closed components, where its
    /// separator stands and its node.
    QString m_previous;
    std::vector<std::pair<qsizetype, NodeId>> m_previousChain;
};

}  // namespace trellisane
