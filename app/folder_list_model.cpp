#include "app/folder_list_model.h"

#include <QApplication>
#include <QBrush>
#include <QFont>
#include <QFontMetrics>
#include <QStyle>
#include <algorithm>
#include <limits>
#include <utility>

#include "app/accessibility.h"
#include "engine/operation_help.h"
#include "engine/transform.h"
#include "rename/row_status.h"
#include "shell/texts.h"

namespace trellisane {

namespace {

constexpr int kMaxColumns = 2;
constexpr int kNewPathColumn = 1;
/// How many runs are kept for the rows' marks; rows of older runs show none.
constexpr std::size_t kKeptRuns = 4;
/// About how many average characters of another row's path a tooltip shows, elided on the left.
constexpr int kToolTipPathChars = 60;

/// `path` elided on the left as the list's cells are, to about kToolTipPathChars characters.
QString ElidedPath(const QString& path) {
    const QFontMetrics metrics(QApplication::font());
    return metrics.elidedText(path, Qt::ElideLeft, metrics.averageCharWidth() * kToolTipPathChars);
}

/// Qt's item models count rows in int; rows beyond that are not shown.
int ToRow(qsizetype position) {
    constexpr qsizetype kLast = std::numeric_limits<int>::max();
    return static_cast<int>(std::min(position - 1, kLast));
}

/// The roles the plan's marks are drawn with.
const QList<int> kMarkRoles{Qt::DecorationRole, Qt::ForegroundRole, Qt::ToolTipRole,
                            Qt::AccessibleDescriptionRole};

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
        case Qt::DisplayRole:
            // Only the cell asked for has its path built.
            return index.column() == 0 ? m_list.Current(index.row() + 1)
                                       : m_list.NewPath(index.row() + 1);
        case Qt::FontRole: {
            if (!Look(index).italic) return QVariant();
            QFont font;  // only the italic attribute is set: the rest comes from the list
            font.setItalic(true);
            return font;
        }
        case Qt::AccessibleDescriptionRole: {
            const QString words = MarkDescription(Look(index));
            return words.isEmpty() ? QVariant() : QVariant(words);
        }
        case Qt::ToolTipRole: {
            const QString tip = Look(index).toolTip;
            return tip.isEmpty() ? QVariant() : QVariant(tip);
        }
        case Qt::DecorationRole: {
            const PlanMark mark = Look(index).mark;
            if (mark != PlanMark::WillNotRename && mark != PlanMark::RunFailed) return QVariant();
            if (m_warningIcon.isNull()) {
                m_warningIcon = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
            }
            return m_warningIcon;
        }
        case Qt::ForegroundRole:
            switch (Look(index).mark) {
                case PlanMark::WillNotRename:
                case PlanMark::RunFailed:
                    return QBrush(WillNotRenameColour());
                case PlanMark::Unchanged:
                    return QBrush(UnchangedColour());
                case PlanMark::None:
                case PlanMark::Renamed:
                    break;
            }
            return QVariant();
        default:
            return QVariant();
    }
}

quint32 FolderListModel::NotePass(Operation operation, const PromptAnswers& answers) {
    m_latestPass = 0;
    if (operation != Operation::OpNone) {
        m_passes.push_back(Pass{operation, answers});
        m_latestPass = static_cast<quint32>(m_passes.size());
    }
    if (m_headers.size() > kNewPathColumn && rowCount() > 0) {
        // cppcheck-suppress nullPointer ; a false alarm on Qt's signal macro
        Q_EMIT dataChanged(index(0, kNewPathColumn), index(rowCount() - 1, kNewPathColumn),
                           {Qt::FontRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
    }
    return m_latestPass;
}

void FolderListModel::RecordRun(std::shared_ptr<const RenameRun> run) {
    if (!run || run->outcomes.empty()) return;
    const quint32 number = m_nextRun++;
    const qsizetype count = std::min(m_list.Count(), static_cast<qsizetype>(run->outcomes.size()));
    m_runs.emplace_back(number, std::move(run));
    if (m_runs.size() > kKeptRuns) m_runs.erase(m_runs.begin());
    FolderList::BulkChange bulk(m_list);
    for (qsizetype position = 1; position <= count; ++position) {
        m_list.SetRun(position, number, static_cast<quint32>(position));
    }
}

const RowOutcome* FolderListModel::RunOutcome(qsizetype position) const {
    if (position < 1 || position > m_list.Count()) return nullptr;
    const quint32 rowRun = m_list.Run(position);
    const quint32 runRow = m_list.RunRow(position);
    if (rowRun == 0) return nullptr;
    for (const auto& [number, run] : m_runs) {
        if (number == rowRun && runRow >= 1 && runRow <= run->outcomes.size()) {
            return &run->outcomes[runRow - 1];
        }
    }
    return nullptr;
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

bool FolderListModel::LookOfRun(const FolderRow& row, const RowOutcome& outcome,
                                CellLook& look) const {
    // Only while nothing new is asked of the row: a preview pass that gave it another new path
    // makes the plan's marks the ones that count.
    if (!row.newPath.isEmpty() && row.newPath != row.current) return false;
    switch (outcome.fate.status) {
        case RowStatus::Renamed:
            look.mark = PlanMark::Renamed;
            look.toolTip =
                Trellisane::tr("Renamed by the last run, from \"%1\".").arg(outcome.oldPath);
            return true;
        case RowStatus::Unchanged:
            look.mark = PlanMark::Unchanged;
            look.toolTip =
                Trellisane::tr("Left as it is by the last run: its new name was its current name.");
            return true;
        case RowStatus::NotTried:
            return false;
        default:
            look.mark = PlanMark::RunFailed;
            look.toolTip =
                Trellisane::tr("The last run could not rename it:\n%1").arg(outcome.Report());
            return true;
    }
}

QString FolderListModel::FateSentence(const RowFate& fate, const FolderRow& row) const {
    if (fate.status == RowStatus::Claimed && fate.claimedBy >= 1 &&
        fate.claimedBy <= m_list.Count()) {
        return Trellisane::tr("The folder \"%1\", listed earlier, gets this new name first.")
            .arg(ElidedPath(m_list.Current(fate.claimedBy)));
    }
    return DescribeFate(fate, NewNameOf(row.current, row.newPath));
}

CellLook FolderListModel::Look(const QModelIndex& index) const {
    CellLook look;
    const auto position = static_cast<std::size_t>(index.row());
    const FolderRow& row = m_list.Row(index.row() + 1);
    if (const RowOutcome* outcome = RunOutcome(index.row() + 1)) {
        if (LookOfRun(row, *outcome, look)) {
            // The warning sign stands in the New Name cell only, as the plan's does.
            if (index.column() != kNewPathColumn && look.mark == PlanMark::RunFailed) {
                look.mark = PlanMark::None;
            }
            return look;
        }
        look = CellLook();
    }
    const RowFate* fate = position < m_fates.size() ? &m_fates[position] : nullptr;
    if (fate != nullptr && fate->status == RowStatus::Unchanged) look.mark = PlanMark::Unchanged;
    if (index.column() != kNewPathColumn) return look;

    QStringList sentences;
    if (fate != nullptr) {
        if (!Succeeds(fate->status)) look.mark = PlanMark::WillNotRename;
        if (fate->status != RowStatus::Renamed) sentences << FateSentence(*fate, row);
        // Where the folder ends up, against where its row says it will be.
        const QString& shown = Succeeds(fate->status) ? row.newPath : row.current;
        const QString& final = m_finalPaths[position];
        if (!final.isEmpty() && final != shown) {
            sentences
                << Trellisane::tr("After the whole run the folder will be at \"%1\".").arg(final);
        }
    }

    if (!row.newPath.isEmpty() && (m_latestPass == 0 || row.pass != m_latestPass)) {
        look.italic = true;
        const QString by =
            row.pass >= 1 && row.pass <= m_passes.size()
                ? DescribePass(m_passes[row.pass - 1].operation, m_passes[row.pass - 1].answers)
                : Trellisane::tr("an earlier operation");
        sentences << Trellisane::tr(
                         "Not made by the latest preview but earlier, by %1. Start Renaming "
                         "applies it as shown.")
                         .arg(by);
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
