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
    /// The child of `parent` named `name`, made where missing. `name` may be a view into this
    /// tree's own names. O(length of the name).
    NodeId ChildOrNew(NodeId parent, QStringView name, bool open = false);
    /// The node of the folder `name` directly below `folder` (a closed node or the top node):
    /// the node of PathOf(folder) + name + separator, made where missing. A separator inside
    /// `name` makes a node per piece, as Add would for the whole text. O(length of the name).
    NodeId AddFolder(NodeId folder, QStringView name);

    /// Number of nodes, the top node included. O(1).
    qsizetype NodeCount() const { return static_cast<qsizetype>(m_parent.size()); }
    /// The node above `node`; kNone for the top node. O(1).
    NodeId Parent(NodeId node) const { return m_parent[Index(node)]; }
    /// The node's own component, without separator: a view into the tree's names, valid until
    /// the next node is made. O(1).
    QStringView Name(NodeId node) const {
        return QStringView(m_names.data() + m_nameAt[Index(node)],
                           static_cast<qsizetype>(m_sizeAndOpen[Index(node)] & kSize));
    }
    /// Whether the node is a final piece without a separator after it. O(1).
    bool IsOpen(NodeId node) const { return (m_sizeAndOpen[Index(node)] & kOpen) != 0; }
    /// Number of separators in the node's path. O(1).
    qsizetype Depth(NodeId node) const { return m_depth[Index(node)]; }
    /// The node's whole path, built in one allocation. O(its length).
    QString PathOf(NodeId node) const;
    /// The length of the node's whole path in UTF-16 code units. O(depth).
    qsizetype PathSize(NodeId node) const;
    /// Writes the node's whole path into `out`, which must hold PathSize(node) code units.
    /// O(its length).
    void WritePath(NodeId node, QChar* out) const;
    QChar Separator() const { return m_separator; }

    /// The bytes the nodes and their names take, tables included (capacity, not size). O(1).
    std::size_t MemoryUse() const;
    /// Makes room for `nodes` more nodes and `nameSize` more code units of names, the table of
    /// children included, so that making that many grows nothing: for a caller that knows
    /// they are coming (a preview's new names) and would rather pay for the room here, on
    /// another thread, than midway on the window's. O(nodes now + nodes).
    void ReserveMore(std::size_t nodes, std::size_t nameSize);
    /// The code units of all names together. O(1).
    std::size_t NameUnits() const { return m_names.size(); }
    /// Keeps only the nodes marked in `used` (one entry per node; the top node is always kept)
    /// and the nodes above them, under new ids in the same relative order, and drops the rest.
    /// Returns each old id's new one (kNone for a dropped node). Every kept node's path, name
    /// and order read as before. O(nodes).
    std::vector<NodeId> Compact(std::vector<bool> used);

    /// Every node in the binary order of its whole path, the top node first. O(n log fan-out)
    /// for sorting each node's children, without comparing or building whole paths.
    std::vector<NodeId> InPathOrder() const;
    /// Each node's place (0 for the top node) in the binary order of whole paths, the order
    /// InPathOrder gives. Works through the nodes in the order they were made, each parent's
    /// children sorted by name, so a tree filled level by level is read nearly in memory order.
    /// O(n log fan-out).
    std::vector<std::int32_t> PathRanks() const;
    /// Whether `a`'s name (with its separator unless open) sorts before `b`'s, both children of
    /// one parent: in UTF-16 code units, a prefix first. O(length of the shorter name).
    bool SiblingLess(NodeId a, NodeId b) const;

  private:
    static constexpr std::uint32_t kOpen = 0x80000000U;
    static constexpr std::uint32_t kSize = 0x7fffffffU;
    /// Whether `node` is named `name` and is `open`.
    bool NameIs(NodeId node, QStringView name, bool open) const {
        return IsOpen(node) == open && Name(node) == name;
    }
    /// Makes room for `nodes` nodes and `nameSize` code units of names.
    void Reserve(std::size_t nodes, std::size_t nameSize);
    /// Appends one node's fields.
    void Push(NodeId parent, std::int32_t depth, std::uint32_t hash, std::uint32_t nameAt,
              std::uint32_t sizeAndOpen);
    /// Makes a child of `parent`, known to be missing, and links it in.
    NodeId Make(NodeId parent, QStringView name, bool open, std::uint32_t nameHash);
    /// Links `child`, whose parent is set, into its parent's children.
    void Link(NodeId child);

    static std::size_t Index(NodeId node) { return static_cast<std::size_t>(node); }
    /// The hash of a name (and whether it is open), kept in its node.
    static std::uint32_t HashOf(QStringView name, bool open);
    NodeId Child(NodeId parent, QStringView name, bool open, std::uint32_t nameHash) const;
    /// Enters `node` in the table.
    void File(NodeId node);
    /// Below this many children a parent's are found through its list, not the table.
    static constexpr std::int32_t kListedChildren = 48;
    /// AddNext's work, leaving m_previous to the caller.
    NodeId AddAfterPrevious(QStringView path);

    QChar m_separator;
    // The nodes, a field to an array (32 bytes a node in all), so that a pass that reads one
    // field of every node reads only that field's memory.
    std::vector<NodeId> m_parent;
    std::vector<NodeId> m_firstChild;
    std::vector<NodeId> m_next;  ///< the next sibling, newest first
    std::vector<std::int32_t> m_depth;
    std::vector<std::int32_t> m_children;
    std::vector<std::uint32_t> m_hash;         ///< HashOf(name, open)
    std::vector<std::uint32_t> m_nameAt;       ///< where the name starts in m_names
    std::vector<std::uint32_t> m_sizeAndOpen;  ///< the name's length, and kOpen when open
    /// Every node's name, one after another, in UTF-16 code units.
    std::vector<char16_t> m_names;
    /// The children of parents with many, by (parent, name).
    ChildTable m_table;
    /// AddNext's memory: the previous path and, for each of its closed components, where its
    /// separator stands and its node.
    QString m_previous;
    std::vector<std::pair<qsizetype, NodeId>> m_previousChain;
};

}  // namespace trellisane
