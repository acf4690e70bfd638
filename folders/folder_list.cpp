#include "folder_list.h"

#include <algorithm>
#include <utility>

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
    // The depth and the path stay apart as a pair, so no character of a folder name can
    // disturb the order, and depths compare as numbers.
    std::vector<std::pair<qsizetype, qsizetype>> keys;  // (depth, index into gathered)
    keys.reserve(gathered.size());
    for (qsizetype i = 0; i < gathered.size(); ++i) {
        keys.emplace_back(PathDepth(gathered[i], separator), i);
    }
    std::stable_sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first > b.first;
        return BinaryLess(gathered[a.second], gathered[b.second]);
    });
    QStringList sorted;
    sorted.reserve(gathered.size());
    for (const auto& key : keys) sorted.push_back(gathered[key.second]);
    return sorted;
}

}  // namespace trellisane
