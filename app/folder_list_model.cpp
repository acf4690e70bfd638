#include "app/folder_list_model.h"

#include <QFont>
#include <algorithm>
#include <limits>

#include "engine/operation_help.h"
#include "engine/transform.h"

namespace trellisane {

namespace {

constexpr int kMaxColumns = 2;
constexpr int kNewPathColumn = 1;
/// How many earlier passes a tooltip looks back through; older names get a plainer one.
constexpr std::size_t kKeptPasses = 16;

bool SameAnswers(const PromptAnswers& a, const PromptAnswers& b) {
    return a.x == b.x && a.y == b.y && a.findWhat == b.findWhat && a.replaceWith == b.replaceWith;
}

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
    switch (role) {
        case Qt::DisplayRole: {
            const FolderRow& row = m_list.Row(index.row() + 1);
            return index.column() == 0 ? row.current : row.newPath;
        }
        case Qt::FontRole: {
            if (!Look(index).italic) return QVariant();
            QFont font;  // only the italic attribute is set: the rest comes from the list
            font.setItalic(true);
            return font;
        }
        case Qt::ToolTipRole: {
            const QString tip = Look(index).toolTip;
            return tip.isEmpty() ? QVariant() : QVariant(tip);
        }
        default:
            return QVariant();
    }
}

void FolderListModel::NotePass(Operation operation, const PromptAnswers& answers) {
    m_latestWrote = operation != Operation::OpNone;
    if (m_latestWrote) {
        std::erase_if(m_passes, [&](const Pass& pass) {
            return pass.operation == operation && SameAnswers(pass.answers, answers);
        });
        m_passes.insert(m_passes.begin(), Pass{operation, answers});
        if (m_passes.size() > kKeptPasses) m_passes.resize(kKeptPasses);
    }
    if (m_headers.size() > kNewPathColumn && rowCount() > 0) {
        // cppcheck-suppress nullPointer ; a false alarm on Qt's signal macro
        Q_EMIT dataChanged(index(0, kNewPathColumn), index(rowCount() - 1, kNewPathColumn),
                           {Qt::FontRole, Qt::ToolTipRole});
    }
}

CellLook FolderListModel::Look(const QModelIndex& index) const {
    CellLook look;
    if (index.column() != kNewPathColumn) return look;
    const FolderRow& row = m_list.Row(index.row() + 1);
    if (row.newPath.isEmpty()) return look;
    const auto made = [&](const Pass& pass) {
        return BuildNewPath(row.current, pass.operation, pass.answers) == row.newPath;
    };
    if (m_latestWrote && made(m_passes.front())) return look;
    look.italic = true;
    const auto maker = std::find_if(m_passes.begin(), m_passes.end(), made);
    const QString by = maker == m_passes.end() ? QStringLiteral("an earlier operation")
                                               : DescribePass(maker->operation, maker->answers);
    look.toolTip = QStringLiteral(
                       "Not made by the latest preview but earlier, by %1. Start Renaming "
                       "applies it as shown.")
                       .arg(by);
    return look;
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
