#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "folder_tree.h"

namespace trellisane {

/// One listed folder: its current full path and the path it would get. Both end with the
/// path separator; `newPath` is "" until a preview pass writes it.
///
/// Beside the two paths a row keeps, for display only, two numbers that the window resolves:
/// which preview pass wrote its new path, and which run last tried it. Nothing decides by them.
struct FolderRow {
    QString current;
    QString newPath;
    /// The number the window gave the preview pass that wrote `newPath`; 0: none (not written
    /// by a pass, or written before numbering).
    quint32 pass = 0;
    /// The number of the last run that tried this row (0: none) and the row's 1-based place in
    /// that run's outcomes.
    quint32 run = 0;
    quint32 runRow = 0;
};

/// Told of every change to a FolderList, in the order of Qt's item-model notifications, so a
/// table model can wrap the list. Positions are 1-based and inclusive.
class FolderListObserver {
  public:
    virtual ~FolderListObserver() = default;
    virtual void BeginInsert(qsizetype first, qsizetype last) = 0;
    virtual void EndInsert() = 0;
    virtual void BeginRemove(qsizetype first, qsizetype last) = 0;
    virtual void EndRemove() = 0;
    virtual void BeginReset() = 0;
    virtual void EndReset() = 0;
    virtual void Changed(qsizetype first, qsizetype last) = 0;
};

/// The folder list: rows addressed by 1-based position, without keys; the same folder may
/// stand in several rows. No limit on the number of rows.
///
/// The rows' paths live as nodes of the list's own FolderTree: a row is its current node, its
/// new path's node (none for ""), and its three numbers, 20 bytes, and a path is built only
/// when asked for. Nodes no row refers to any more are reclaimed as the rows are written: once
/// the dead outnumber the live, the tree is rebuilt with the live ones (amortised O(1) a write).
class FolderList {
  public:
    using NodeId = FolderTree::NodeId;

    FolderList() = default;

    /// Number of rows. O(1).
    qsizetype Count() const { return static_cast<qsizetype>(m_rows.size()); }
    /// Row at `position` (1 to Count()), its paths built. Precondition: in range. O(its paths).
    FolderRow Row(qsizetype position) const;
    /// All rows, first to last, their paths built: a copy. O(rows * path length).
    std::vector<FolderRow> Rows() const;
    /// The current path of the row at `position`. O(its length).
    QString Current(qsizetype position) const { return m_tree.PathOf(At(position).current); }
    /// The new path of the row at `position` ("" when none). O(its length).
    QString NewPath(qsizetype position) const;
    /// The numbers of the row at `position` (FolderRow's). O(1).
    quint32 Pass(qsizetype position) const { return At(position).pass; }
    quint32 Run(qsizetype position) const { return At(position).run; }
    quint32 RunRow(qsizetype position) const { return At(position).runRow; }

    /// The tree the rows' paths are nodes of. Its ids stay valid until the next write.
    const FolderTree& Tree() const { return m_tree; }
    /// The node of the current path of the row at `position`. O(1).
    NodeId CurrentNode(qsizetype position) const { return At(position).current; }
    /// The node of the new path of the row at `position`; FolderTree::kNone for "". O(1).
    NodeId NewPathNode(qsizetype position) const { return At(position).newPath; }

    /// Writes the current path of one row; notifies unless a BulkChange is open. O(path).
    void SetCurrent(qsizetype position, const QString& path);
    /// Writes the new path of one row and the number of the pass that wrote it (0: none);
    /// notifies unless a BulkChange is open. O(path).
    void SetNewPath(qsizetype position, const QString& path, quint32 pass = 0);
    /// Writes as the new path of one row the folder `name` beside its current folder: the
    /// current path's parent part (everything up to its last separator but a trailing one),
    /// `name`, and a separator, as BuildNewPath joins them, without building either path.
    /// Notifies unless a BulkChange is open. O(length of the name).
    void SetNewName(qsizetype position, QStringView name, quint32 pass = 0);
    /// Records that run number `run` tried this row as its `runRow`-th row (0, 0: forgets any
    /// run). Display only; notifies unless a BulkChange is open. O(1).
    void SetRun(qsizetype position, quint32 run, quint32 runRow);

    /// Appends one batch in depth order (SortBatch); existing rows keep their places.
    /// O(n log n) in the batch.
    void AppendBatch(const QStringList& gathered);
    /// Appends one batch in depth order, given as nodes of `tree` in gathered order (duplicates
    /// kept), as the walk fills it: the same rows as AppendBatch of their paths. The tree is
    /// taken over when the list has none of its own yet, else its nodes are copied in by name.
    /// O(n log fan-out) in the tree.
    void AppendBatch(FolderTree&& tree, const std::vector<NodeId>& gathered);
    /// Appends rows for `ordered`, nodes of `tree` already in the order they are to stand in,
    /// with empty new paths; the tree is taken over or copied in as by AppendBatch. O(nodes).
    void AppendOrdered(FolderTree&& tree, const std::vector<NodeId>& ordered);

    class PreparedRows;
    /// The rows AppendOrdered would make for `ordered`, made beforehand on any thread (an
    /// add's worker), so that the list's own thread need not write a million of them. O(nodes).
    static PreparedRows PrepareRows(const std::vector<NodeId>& ordered);
    /// AppendOrdered with rows made by PrepareRows for the same `ordered`: where the list is
    /// empty and takes the tree over, it takes the rows over too, in O(1); otherwise, or when
    /// `rows` was made for another batch, as AppendOrdered.
    void AppendOrdered(FolderTree&& tree, const std::vector<NodeId>& ordered, PreparedRows&& rows);
    /// Appends rows for `paths` in the given order, with empty new paths. O(n).
    void AppendInOrder(const QStringList& paths);
    /// Removes the row at `position`; the rows after it move up. O(rows).
    void Remove(qsizetype position);
    /// Removes every row. O(rows).
    void Clear();
    /// Removes every row whose entry in `marked` (one per row, first to last) is true; the
    /// others keep their order. Told as one reset when any goes. O(rows).
    void RemoveMarked(const std::vector<bool>& marked);

    /// The bytes the rows and their tree take (capacities). O(1).
    std::size_t MemoryUse() const;

    /// The observer told of changes, or nullptr. Not owned.
    void SetObserver(FolderListObserver* observer) { m_observer = observer; }

    /// While one is alive, SetCurrent/SetNewPath send no per-row notification; when the
    /// outermost ends, one Changed over every row is sent if anything was written.
    class BulkChange {
      public:
        explicit BulkChange(FolderList& list) : m_list(list) { ++m_list.m_bulkDepth; }
        ~BulkChange();
        BulkChange(const BulkChange&) = delete;
        BulkChange& operator=(const BulkChange&) = delete;

      private:
        FolderList& m_list;
    };

  private:
    /// One row: its nodes and numbers.
    struct Entry {
        NodeId current = FolderTree::kTop;
        NodeId newPath = FolderTree::kNone;
        quint32 pass = 0;
        quint32 run = 0;
        quint32 runRow = 0;
    };

  public:
    /// Rows made ready for one batch by PrepareRows; moved, never copied.
    class PreparedRows {
      public:
        PreparedRows() = default;

      private:
        friend class FolderList;
        std::vector<Entry> m_rows;
    };

  private:
    const Entry& At(qsizetype position) const {
        return m_rows[static_cast<std::size_t>(position - 1)];
    }
    Entry& At(qsizetype position) { return m_rows[static_cast<std::size_t>(position - 1)]; }
    void Written(qsizetype position);
    /// Appends rows for `nodes` (of m_tree), in the given order.
    void AppendNodes(const std::vector<NodeId>& nodes);
    /// Counts `dropped` references to nodes given up; rebuilds the tree when enough has
    /// changed since the last look and the dead nodes outnumber the live. Never inside a
    /// BulkChange.
    void MaybeReclaim(std::size_t dropped = 0);

    std::vector<Entry> m_rows;
    FolderTree m_tree;
    FolderListObserver* m_observer = nullptr;
    int m_bulkDepth = 0;
    bool m_bulkDirty = false;
    /// Since the last look at the dead nodes: references given up, and the node count then.
    std::size_t m_dropped = 0;
    std::size_t m_nodesAtLook = 1;
    std::size_t m_liveAtLook = 1;
};

/// Number of path separators in `path`. O(n).
qsizetype PathDepth(const QString& path, QChar separator);

/// Binary order of two texts: UTF-16 code unit by code unit, a prefix first. O(n).
bool BinaryLess(const QString& a, const QString& b);

/// The order in which a batch is appended: deepest first (most separators), then binary order
/// of the paths, stable for equal paths. Depth is compared as a number, so the order holds
/// for any depth. The paths are filed in a FolderTree and ranked by walking it, so no two whole
/// paths are compared: linear in the batch's length plus sorting each folder's sub-folders by
/// name. Safe to call on any thread.
QStringList SortBatch(const QStringList& gathered, QChar separator);

/// The same order for `nodeOf`, nodes of `tree` in gathered order (duplicates kept): the
/// positions in `nodeOf` in the order their rows are appended. Linear in the tree's nodes plus
/// sorting each node's children by name. Safe to call on any thread.
std::vector<qsizetype> BatchOrder(const FolderTree& tree,
                                  const std::vector<FolderTree::NodeId>& nodeOf);

}  // namespace trellisane
