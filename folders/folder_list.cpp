#include "folder_list.h"

#include <algorithm>
#include <utility>

#include "folder_tree.h"
#include "path_separator.h"

namespace trellisane {

FolderList::BulkChange::~BulkChange() {
    if (--m_list.m_bulkDepth == 0 && m_list.m_bulkDirty) {
        m_list.m_bulkDirty = false;
        if (m_list.m_observer != nullptr && !m_list.m_rows.empty()) {
            m_list.m_observer->Changed(1, m_list.Count());
        }
    }
}

void FolderList::Written(qsizetype position) {
    if (m_bulkDepth > 0) {
        m_bulkDirty = true;
    } else if (m_observer != nullptr) {
        m_observer->Changed(position, position);
    }
}

void FolderList::SetCurrent(qsizetype position, const QString& path) {
    m_rows[position - 1].current = path;
    Written(position);
}

void FolderList::SetNewPath(qsizetype position, const QString& path, quint32 pass) {
    FolderRow& row = m_rows[position - 1];
    row.newPath = path;
    row.pass = pass;
    Written(position);
}

void FolderList::SetRun(qsizetype position, quint32 run, quint32 runRow) {
    FolderRow& row = m_rows[position - 1];
    row.run = run;
    row.runRow = runRow;
    Written(position);
}

void FolderList::AppendBatch(const QStringList& gathered) {
    AppendInOrder(SortBatch(gathered, kPathSeparator));
}

void FolderList::AppendInOrder(const QStringList& paths) {
    if (paths.isEmpty()) return;
    const qsizetype first = Count() + 1;
    if (m_observer != nullptr) m_observer->BeginInsert(first, first + paths.size() - 1);
    for (const QString& path : paths) m_rows.push_back(FolderRow{path, QString(), 0, 0, 0});
    if (m_observer != nullptr) m_observer->EndInsert();
}

void FolderList::Remove(qsizetype position) {
    if (m_observer != nullptr) m_observer->BeginRemove(position, position);
    m_rows.erase(m_rows.begin() + (position - 1));
    if (m_observer != nullptr) m_observer->EndRemove();
}

void FolderList::Clear() {
    if (m_observer != nullptr) m_observer->BeginReset();
    m_rows.clear();
    if (m_observer != nullptr) m_observer->EndReset();
}

void FolderList::RemoveMarked(const std::vector<bool>& marked) {
    if (std::find(marked.begin(), marked.end(), true) == marked.end()) return;
    // One reset rather than a removal per run of rows: each would move every row after it.
    if (m_observer != nullptr) m_observer->BeginReset();
    std::size_t position = 0;
    std::erase_if(m_rows, [&](const FolderRow&) {
        const bool gone = position < marked.size() && marked[position];
        ++position;
        return gone;
    });
    if (m_observer != nullptr) m_observer->EndReset();
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
    // The paths are filed in a tree of their components; walking it with each node's children
    // in order gives every node's rank in the binary order of whole paths without comparing
    // any two of them. The rows then go out deepest first, by rank within one depth, and in
    // gathered order where a path stands more than once: a counting sort, linear in the batch.
    FolderTree tree(separator);
    std::vector<FolderTree::NodeId> nodeOf;
    nodeOf.reserve(static_cast<std::size_t>(gathered.size()));
    for (const QString& path : gathered) nodeOf.push_back(tree.AddNext(path));

    const auto nodes = static_cast<std::size_t>(tree.NodeCount());
    // The rows of each node, in gathered order: node n's are at firstRow[n] .. firstRow[n + 1].
    std::vector<qsizetype> firstRow(nodes + 1, 0);
    for (const FolderTree::NodeId node : nodeOf) ++firstRow[static_cast<std::size_t>(node) + 1];
    qsizetype deepest = 0;
    for (std::size_t node = 0; node < nodes; ++node) {
        if (firstRow[node + 1] != 0) {
            deepest = std::max(deepest, tree.Depth(static_cast<FolderTree::NodeId>(node)));
        }
        firstRow[node + 1] += firstRow[node];
    }
    std::vector<qsizetype> rowsOf(static_cast<std::size_t>(gathered.size()));
    {
        std::vector<qsizetype> fill(firstRow.begin(), firstRow.end() - 1);
        for (qsizetype i = 0; i < gathered.size(); ++i) {
            rowsOf[static_cast<std::size_t>(fill[static_cast<std::size_t>(nodeOf[i])]++)] = i;
        }
    }
    // Where each depth's rows begin in the result, the deepest first.
    std::vector<qsizetype> depthStart(static_cast<std::size_t>(deepest) + 2, 0);
    for (const FolderTree::NodeId node : nodeOf) {
        ++depthStart[static_cast<std::size_t>(deepest - tree.Depth(node)) + 1];
    }
    for (std::size_t d = 1; d < depthStart.size(); ++d) depthStart[d] += depthStart[d - 1];

    std::vector<qsizetype> order(static_cast<std::size_t>(gathered.size()));
    for (const FolderTree::NodeId node : tree.InPathOrder()) {
        const auto n = static_cast<std::size_t>(node);
        if (firstRow[n] == firstRow[n + 1]) continue;
        qsizetype& at = depthStart[static_cast<std::size_t>(deepest - tree.Depth(node))];
        for (qsizetype r = firstRow[n]; r < firstRow[n + 1]; ++r) {
            order[static_cast<std::size_t>(at++)] = rowsOf[static_cast<std::size_t>(r)];
        }
    }
    QStringList sorted;
    sorted.reserve(gathered.size());
    for (const qsizetype i : order) sorted.push_back(gathered[i]);
    return sorted;
}

}  // namespace trellisane
