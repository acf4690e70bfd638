#include "app/folder_list_model.h"

#include <QApplication>
#include <QBrush>
#include <QFont>
#include <QStyle>
#include <algorithm>
#include <limits>
#include <utility>

#include "engine/operation_help.h"
#include "engine/transform.h"
#include "rename/row_status.h"

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

/// The roles the plan's marks are drawn with.
const QList<int> kMarkRoles{Qt::DecorationRole, Qt::ForegroundRole, Qt::ToolTipRole};

}  // namespace

QColor WillNotRenameColour() { return QColor(0xB0, 0x1C, 0x1C); }

QColor UnchangedColour() { return QColor(0x80, 0x80, 0x80); }

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
        case Qt::DecorationRole: {
            if (Look(index).mark != PlanMark::WillNotRename) return QVariant();
            if (m_warningIcon.isNull()) {
                m_warningIcon = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
            }
            return m_warningIcon;
        }
        case Qt::ForegroundRole:
            switch (Look(index).mark) {
                case PlanMark::WillNotRename:
                    return QBrush(WillNotRenameColour());
                case PlanMark::Unchanged:
                    return QBrush(UnchangedColour());
                case PlanMark::None:
                    break;
            }
            return QVariant();
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

bool FolderListModel::ShowPlan(RenamePlan&& plan, quint64 generation) {
    if (plan.cancelled || generation != m_generation ||
        plan.fates.size() != static_cast<std::size_t>(m_list.Count()) ||
        plan.finalPaths.size() != plan.fates.size() || plan.fates.empty()) {
        return false;
    }
    m_fates = std::move(plan.fates);
    m_finalPaths = std::move(plan.finalPaths);
    m_cannotBeRenamed = std::count_if(m_fates.begin(), m_fates.end(),
                                      [](const RowFate& fate) { return !Succeeds(fate.status); });
    if (!m_headers.isEmpty()) {
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), kMarkRoles);
    }
    Q_EMIT planChanged();
    return true;
}

bool FolderListModel::ForgetPlan() {
    ++m_generation;
    if (m_fates.empty()) return false;
    // Swapped out, so that the views asked from here on already see no plan.
    std::vector<RowFate>().swap(m_fates);
    std::vector<QString>().swap(m_finalPaths);
    m_cannotBeRenamed = 0;
    return true;
}

void FolderListModel::DropPlan() {
    if (!ForgetPlan()) return;
    if (!m_headers.isEmpty() && rowCount() > 0) {
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), kMarkRoles);
    }
    Q_EMIT planChanged();
}

CellLook FolderListModel::Look(const QModelIndex& index) const {
    CellLook look;
    const auto position = static_cast<std::size_t>(index.row());
    const FolderRow& row = m_list.Row(index.row() + 1);
    const RowFate* fate = position < m_fates.size() ? &m_fates[position] : nullptr;
    if (fate != nullptr && fate->status == RowStatus::Unchanged) look.mark = PlanMark::Unchanged;
    if (index.column() != kNewPathColumn) return look;

    QStringList sentences;
    if (fate != nullptr) {
        if (!Succeeds(fate->status)) look.mark = PlanMark::WillNotRename;
        if (fate->status != RowStatus::Renamed) {
            sentences << DescribeFate(*fate, NewNameOf(row.current, row.newPath));
        }
        // Where the folder ends up, against where its row says it will be.
        const QString& shown = Succeeds(fate->status) ? row.newPath : row.current;
        const QString& final = m_finalPaths[position];
        if (!final.isEmpty() && final != shown) {
            sentences
                << QStringLiteral("After the whole run the folder will be at \"%1\".").arg(final);
        }
    }

    if (!row.newPath.isEmpty()) {
        const auto made = [&](const Pass& pass) {
            return BuildNewPath(row.current, pass.operation, pass.answers) == row.newPath;
        };
        if (!m_latestWrote || !made(m_passes.front())) {
            look.italic = true;
            const auto maker = std::find_if(m_passes.begin(), m_passes.end(), made);
            const QString by = maker == m_passes.end()
                                   ? QStringLiteral("an earlier operation")
                                   : DescribePass(maker->operation, maker->answers);
            sentences << QStringLiteral(
                             "Not made by the latest preview but earlier, by %1. Start Renaming "
                             "applies it as shown.")
                             .arg(by);
        }
    }
    look.toolTip = sentences.join(u'\n');
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
    DropPlan();  // before the insertion begins: the views are told of the marks going
    beginInsertRows(QModelIndex(), ToRow(first), ToRow(last));
}

void FolderListModel::EndInsert() { endInsertRows(); }

void FolderListModel::BeginRemove(qsizetype first, qsizetype last) {
    DropPlan();
    beginRemoveRows(QModelIndex(), ToRow(first), ToRow(last));
}

void FolderListModel::EndRemove() { endRemoveRows(); }

void FolderListModel::BeginReset() {
    beginResetModel();
    m_planDroppedByReset = ForgetPlan();
}

void FolderListModel::EndReset() {
    endResetModel();
    if (std::exchange(m_planDroppedByReset, false)) Q_EMIT planChanged();
}

void FolderListModel::Changed(qsizetype first, qsizetype last) {
    DropPlan();
    if (m_headers.isEmpty()) return;
    const int lastColumn = static_cast<int>(m_headers.size()) - 1;
    Q_EMIT dataChanged(index(ToRow(first), 0), index(ToRow(last), lastColumn), {Qt::DisplayRole});
}

}  // namespace trellisane
