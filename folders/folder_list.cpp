#include "folder_list.h"

#include <algorithm>
#include <utility>

#include "folder_tree.h"
#include "path_separator.h"

namespace trellisane {

FolderList::BulkChange::~BulkChange() {
    if (--m_list.m_bulkDepth == 0) {
        if (m_list.m_bulkDirty) {
            m_list.m_bulkDirty = false;
            if (m_list.m_observer != nullptr && !m_list.m_rows.empty()) {
                m_list.m_observer->Changed(1, m_list.Count());
            }
        }
        m_list.MaybeReclaim();
    }
}

FolderRow FolderList::Row(qsizetype position) const {
    const Entry& entry = At(position);
    return FolderRow{m_tree.PathOf(entry.current), NewPath(position), entry.pass, entry.run,
                     entry.runRow};
}

std::vector<FolderRow> FolderList::Rows() const {
    std::vector<FolderRow> rows;
    rows.reserve(m_rows.size());
    for (qsizetype position = 1; position <= Count(); ++position) rows.push_back(Row(position));
    return rows;
}

QString FolderList::NewPath(qsizetype position) const {
    const NodeId node = At(position).newPath;
    return node == FolderTree::kNone ? QString() : m_tree.PathOf(node);
}

void FolderList::Written(qsizetype position) {
    if (m_bulkDepth > 0) {
        m_bulkDirty = true;
    } else {
        if (m_observer != nullptr) m_observer->Changed(position, position);
        MaybeReclaim();
    }
}

void FolderList::SetCurrent(qsizetype position, const QString& path) {
    Entry& row = At(position);
    const NodeId had = row.current;
    row.current = m_tree.Add(path);
    if (had != row.current) ++m_dropped;
    Written(position);
}

void FolderList::SetNewPath(qsizetype position, const QString& path, quint32 pass) {
    Entry& row = At(position);
    const NodeId had = row.newPath;
    row.newPath = path.isEmpty() ? FolderTree::kNone : m_tree.Add(path);
    if (had != FolderTree::kNone && had != row.newPath) ++m_dropped;
    row.pass = pass;
    Written(position);
}

void FolderList::SetNewName(qsizetype position, QStringView name, quint32 pass) {
    // The parent part of a path with its trailing separator dropped is the path of the
    // current node's parent; the top node ("") stands in its own parent's place.
    const NodeId current = At(position).current;
    const NodeId parent = current == FolderTree::kTop ? FolderTree::kTop : m_tree.Parent(current);
    Entry& row = At(position);
    // A pass that gives the row the new path it has already (the same operation again, or a
    // name it leaves as it is) finds it without a look-up in the tree.
    const NodeId had = row.newPath;
    if (had == FolderTree::kNone || m_tree.Parent(had) != parent || m_tree.IsOpen(had) ||
        m_tree.Name(had) != name) {
        row.newPath = m_tree.AddFolder(parent, name);
        if (had != FolderTree::kNone && had != row.newPath) ++m_dropped;
    }
    row.pass = pass;
    Written(position);
}

void FolderList::SetRun(qsizetype position, quint32 run, quint32 runRow) {
    Entry& row = At(position);
    row.run = run;
    row.runRow = runRow;
    Written(position);
}

void FolderList::AppendBatch(const QStringList& gathered) {
    FolderTree tree(kPathSeparator);
    std::vector<NodeId> nodes;
    nodes.reserve(static_cast<std::size_t>(gathered.size()));
    for (const QString& path : gathered) nodes.push_back(tree.AddNext(path));
    AppendBatch(std::move(tree), nodes);
}

void FolderList::AppendBatch(FolderTree&& tree, const std::vector<NodeId>& gathered) {
    if (gathered.empty()) return;
    std::vector<NodeId> ordered;
    ordered.reserve(gathered.size());
    for (const qsizetype i : BatchOrder(tree, gathered)) {
        ordered.push_back(gathered[static_cast<std::size_t>(i)]);
    }
    AppendOrdered(std::move(tree), ordered);
}

void FolderList::AppendOrdered(FolderTree&& tree, const std::vector<NodeId>& ordered) {
    if (ordered.empty()) return;
    std::vector<NodeId> nodes;
    if (m_tree.NodeCount() == 1 && tree.Separator() == m_tree.Separator()) {
        // Nothing of the list's own beyond the top node, which stays the top node: the batch's
        // tree becomes the list's as it is.
        m_tree = std::move(tree);
        nodes = ordered;
        m_nodesAtLook = static_cast<std::size_t>(m_tree.NodeCount());
        m_liveAtLook = m_nodesAtLook;
    } else {
        // Each node of the batch's tree is copied in once, after its parent, by name.
        nodes.reserve(ordered.size());
        std::vector<NodeId> mapped(static_cast<std::size_t>(tree.NodeCount()), FolderTree::kNone);
        mapped[FolderTree::kTop] = FolderTree::kTop;
        std::vector<NodeId> chain;
        for (const NodeId wanted : ordered) {
            NodeId node = wanted;
            chain.clear();
            while (mapped[static_cast<std::size_t>(node)] == FolderTree::kNone) {
                chain.push_back(node);
                node = tree.Parent(node);
            }
            while (!chain.empty()) {
                const NodeId copied = chain.back();
                chain.pop_back();
                mapped[static_cast<std::size_t>(copied)] =
                    m_tree.ChildOrNew(mapped[static_cast<std::size_t>(tree.Parent(copied))],
                                      tree.Name(copied), tree.IsOpen(copied));
            }
            nodes.push_back(mapped[static_cast<std::size_t>(wanted)]);
        }
    }
    AppendNodes(nodes);
}

FolderList::PreparedRows FolderList::PrepareRows(const std::vector<NodeId>& ordered) {
    PreparedRows prepared;
    prepared.m_rows.reserve(ordered.size());
    for (const NodeId node : ordered) {
        prepared.m_rows.push_back(Entry{node, FolderTree::kNone, 0, 0, 0});
    }
    return prepared;
}

void FolderList::AppendOrdered(FolderTree&& tree, const std::vector<NodeId>& ordered,
                               PreparedRows&& rows) {
    const bool takesAll = m_rows.empty() && m_tree.NodeCount() == 1 &&
                          tree.Separator() == m_tree.Separator() &&
                          rows.m_rows.size() == ordered.size() && !ordered.empty();
    if (!takesAll) {
        AppendOrdered(std::move(tree), ordered);
        return;
    }
    m_tree = std::move(tree);
    m_nodesAtLook = static_cast<std::size_t>(m_tree.NodeCount());
    m_liveAtLook = m_nodesAtLook;
    if (m_observer != nullptr) m_observer->BeginInsert(1, static_cast<qsizetype>(ordered.size()));
    m_rows = std::move(rows.m_rows);
    if (m_observer != nullptr) m_observer->EndInsert();
}

void FolderList::AppendInOrder(const QStringList& paths) {
    std::vector<NodeId> nodes;
    nodes.reserve(static_cast<std::size_t>(paths.size()));
    for (const QString& path : paths) nodes.push_back(m_tree.Add(path));
    AppendNodes(nodes);
}

void FolderList::AppendNodes(const std::vector<NodeId>& nodes) {
    if (nodes.empty()) return;
    const qsizetype first = Count() + 1;
    if (m_observer != nullptr) {
        m_observer->BeginInsert(first, first + static_cast<qsizetype>(nodes.size()) - 1);
    }
    m_rows.reserve(m_rows.size() + nodes.size());
    for (const NodeId node : nodes) m_rows.push_back(Entry{node, FolderTree::kNone, 0, 0, 0});
    if (m_observer != nullptr) m_observer->EndInsert();
}

void FolderList::Remove(qsizetype position) {
    if (m_observer != nullptr) m_observer->BeginRemove(position, position);
    const Entry& gone = At(position);
    const std::size_t dropped = gone.newPath == FolderTree::kNone ? 1 : 2;
    m_rows.erase(m_rows.begin() + (position - 1));
    if (m_observer != nullptr) m_observer->EndRemove();
    MaybeReclaim(dropped);
}

void FolderList::Clear() {
    if (m_observer != nullptr) m_observer->BeginReset();
    std::vector<Entry>().swap(m_rows);
    m_tree = FolderTree(m_tree.Separator());
    m_dropped = 0;
    m_nodesAtLook = 1;
    m_liveAtLook = 1;
    if (m_observer != nullptr) m_observer->EndReset();
}

void FolderList::RemoveMarked(const std::vector<bool>& marked) {
    if (std::find(marked.begin(), marked.end(), true) == marked.end()) return;
    // One reset rather than a removal per run of rows: each would move every row after it.
    if (m_observer != nullptr) m_observer->BeginReset();
    std::size_t position = 0;
    std::size_t dropped = 0;
    std::erase_if(m_rows, [&](const Entry& row) {
        const bool gone = position < marked.size() && marked[position];
        ++position;
        if (gone) dropped += row.newPath == FolderTree::kNone ? 1 : 2;
        return gone;
    });
    if (m_observer != nullptr) m_observer->EndReset();
    MaybeReclaim(dropped);
}

std::size_t FolderList::MemoryUse() const {
    return m_rows.capacity() * sizeof(Entry) + m_tree.MemoryUse();
}

void FolderList::MaybeReclaim(std::size_t dropped) {
    if (m_bulkDepth > 0) return;
    m_dropped += dropped;
    const auto nodes = static_cast<std::size_t>(m_tree.NodeCount());
    // Looking costs a pass over the nodes, so it waits until as much has changed as was live.
    const std::size_t changed = m_dropped + (nodes > m_nodesAtLook ? nodes - m_nodesAtLook : 0);
    if (changed <= std::max<std::size_t>(m_liveAtLook, 4096)) return;

    std::vector<bool> used(nodes, false);
    for (const Entry& row : m_rows) {
        used[static_cast<std::size_t>(row.current)] = true;
        if (row.newPath != FolderTree::kNone) used[static_cast<std::size_t>(row.newPath)] = true;
    }
    // The nodes above a used one are live too; a parent is always made before its children.
    std::size_t live = 1;
    for (std::size_t node = nodes; node-- > 1;) {
        if (!used[node]) continue;
        ++live;
        used[static_cast<std::size_t>(m_tree.Parent(static_cast<NodeId>(node)))] = true;
    }
    if (nodes - live > live) {
        const std::vector<NodeId> newId = m_tree.Compact(std::move(used));
        for (Entry& row : m_rows) {
            row.current = newId[static_cast<std::size_t>(row.current)];
            if (row.newPath != FolderTree::kNone) {
                row.newPath = newId[static_cast<std::size_t>(row.newPath)];
            }
        }
    }
    m_dropped = 0;
    m_nodesAtLook = static_cast<std::size_t>(m_tree.NodeCount());
    m_liveAtLook = live;
}

qsizetype PathDepth(const QString& path, QChar separator) {
    return std::count(path.cbegin(), path.cend(), separator);
}

bool BinaryLess(const QString& a, const QString& b) {
    // constData(), not utf16(): utf16() may reallocate a literal's text in place to add the
    // terminating zero, which would race with other threads reading the same shared list.
    // A case-sensitive compare is by UTF-16 code unit, a prefix first, and vectorised: the
    // sort of a deep tree compares long shared prefixes.
    return QStringView(a.constData(), a.size())
               .compare(QStringView(b.constData(), b.size()), Qt::CaseSensitive) < 0;
}

QStringList SortBatch(const QStringList& gathered, QChar separator) {
    FolderTree tree(separator);
    std::vector<FolderTree::NodeId> nodeOf;
    nodeOf.reserve(static_cast<std::size_t>(gathered.size()));
    for (const QString& path : gathered) nodeOf.push_back(tree.AddNext(path));
    QStringList sorted;
    sorted.reserve(gathered.size());
    for (const qsizetype i : BatchOrder(tree, nodeOf)) sorted.push_back(gathered[i]);
    return sorted;
}

std::vector<qsizetype> BatchOrder(const FolderTree& tree,
                                  const std::vector<FolderTree::NodeId>& nodeOf) {
    // Every node's place in the binary order of whole paths comes from the tree, without
    // comparing any two paths. The rows then go out deepest first, by place within one depth,
    // and in gathered order where a path stands more than once: two counting sorts, linear in
    // the batch, reading the rows in gathered order (the order the walk made their nodes in).
    const std::vector<std::int32_t> ranks = tree.PathRanks();
    const std::size_t count = nodeOf.size();
    // Place and depth of each row.
    std::vector<std::int32_t> rowRank(count);
    std::vector<std::int32_t> rowDepth(count);
    std::int32_t deepest = 0;
    for (std::size_t i = 0; i < count; ++i) {
        rowRank[i] = ranks[static_cast<std::size_t>(nodeOf[i])];
        rowDepth[i] = static_cast<std::int32_t>(tree.Depth(nodeOf[i]));
        deepest = std::max(deepest, rowDepth[i]);
    }
    // By place: a stable counting sort over the places.
    std::vector<std::uint32_t> start(ranks.size() + 1, 0);
    for (const std::int32_t rank : rowRank) ++start[static_cast<std::size_t>(rank) + 1];
    for (std::size_t r = 1; r < start.size(); ++r) start[r] += start[r - 1];
    std::vector<std::uint32_t> byRank(count);
    for (std::size_t i = 0; i < count; ++i) {
        byRank[start[static_cast<std::size_t>(rowRank[i])]++] = static_cast<std::uint32_t>(i);
    }
    // Then by depth, deepest first, keeping the order by place within each.
    std::vector<std::size_t> depthStart(static_cast<std::size_t>(deepest) + 2, 0);
    for (const std::int32_t depth : rowDepth) {
        ++depthStart[static_cast<std::size_t>(deepest - depth) + 1];
    }
    for (std::size_t d = 1; d < depthStart.size(); ++d) depthStart[d] += depthStart[d - 1];
    std::vector<qsizetype> order(count);
    for (const std::uint32_t i : byRank) {
        order[depthStart[static_cast<std::size_t>(deepest - rowDepth[i])]++] = i;
    }
    return order;
}

}  // namespace trellisane
