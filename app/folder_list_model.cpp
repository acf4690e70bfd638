#include "app/folder_list_model.h"

#include <algorithm>
#include <limits>

namespace trellisane {

namespace {

constexpr int kMaxColumns = 2;

/// Qt's item models count rows in int; rows beyond that are not shown.
int ToRow(qsizetype position) {
    constexpr qsizetype kLast = std::numeric_limits<int>::max();
    return static_cast<int>(std::min(position - 1, kLast));
}

}  // namespace

FolderListModel::FolderListModel(FolderList& list, QObject* parent)
    : QAbstractTableModel(parent), m_list(list) {
    m_list.SetObserver(this);
}

FolderListModel::~FolderListModel() { m_list.SetObserver(nullptr); }

void FolderListModel::AddColumn(const QString& header) {
    if (m_headers.size() >= kMaxColumns) return;
    const int column = static_cast<int>(m_headers.size());
    beginInsertColumns(QModelIndex(), column, column);
    m_headers << header;
    endInsertColumns();
}

int FolderListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return static_cast<int>(std::min<qsizetype>(m_list.Count(), std::numeric_limits<int>::max()));
}

int FolderListModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return static_cast<int>(m_headers.size());
}

QVariant FolderListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return QVariant();
    }
    if (role != Qt::DisplayRole) return QVariant();
    const FolderRow& row = m_list.Row(index.row() + 1);
    return index.column() == 0 ? row.current : row.newPath;
}

QVariant FolderListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (section < 0 || section >= m_headers.size()) return QVariant();
    return m_headers[section];
}

void FolderListModel::BeginInsert(qsizetype first, qsizetype last) {
    beginInsertRows(QModelIndex(), ToRow(first), ToRow(last));
}

void FolderListModel::EndInsert() { endInsertRows(); }

void FolderListModel::BeginRemove(qsizetype first, qsizetype last) {
    beginRemoveRows(QModelIndex(), ToRow(first), ToRow(last));
}

void FolderListModel::EndRemove() { endRemoveRows(); }

void FolderListModel::BeginReset() { beginResetModel(); }

void FolderListModel::EndReset() { endResetModel(); }

void FolderListModel::Changed(qsizetype first, qsizetype last) {
    if (m_headers.isEmpty()) return;
    const int lastColumn = static_cast<int>(m_headers.size()) - 1;
    Q_EMIT dataChanged(index(ToRow(first), 0), index(ToRow(last), lastColumn), {Qt::DisplayRole});
}

}  // namespace trellisane
