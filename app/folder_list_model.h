#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QIcon>
#include <QStringList>
#include <vector>

#include "engine/operations.h"
#include "folders/folder_list.h"
#include "rename/rename_plan.h"

namespace trellisane {

/// What the current plan says of a row, as the list draws it.
enum class PlanMark {
    None,           ///< no plan, or the folder gets its new name
    WillNotRename,  ///< Start Renaming would leave the folder where it is: a warning
    Unchanged,      ///< the new path is the current one: greyed
};

/// How one cell is drawn beyond its text.
struct CellLook {
    bool italic = false;  ///< a new path that the latest preview pass did not write
    PlanMark mark = PlanMark::None;
    QString toolTip;  ///< "" leaves the list's own tooltip
};

/// The text colour of a New Name cell whose folder would not be renamed.
QColor WillNotRenameColour();
/// The text colour of both cells of an unchanged row.
QColor UnchangedColour();

/// A table model over a FolderList: one row per listed folder, the current path in column 0
/// and the new path in column 1. It holds no copy of the rows, so a list of any size is
/// shown, scrolled, removed from and cleared at the cost of the visible rows only. Columns
/// appear as they are added (the list starts with none). Becomes the list's observer.
///
/// Beside the list it may hold one plan (PlanRenames) of the rows as they stand: the rows keep
/// only their paths, the fates live here. Any change of the rows drops the plan, so marks are
/// never shown for rows they were not made for.
class FolderListModel : public QAbstractTableModel, public FolderListObserver {
    Q_OBJECT

  public:
    /// Wraps `list`, which must outlive the model.
    explicit FolderListModel(FolderList& list, QObject* parent = nullptr);
    ~FolderListModel() override;

    /// Adds a column headed `header` after the existing ones. At most two are shown.
    void AddColumn(const QString& header);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    /// Tells the model of a preview pass that got past its busy check: the operation matched
    /// (OpNone for a separator row) and its answers. Only how cells are drawn changes.
    void NotePass(Operation operation, const PromptAnswers& answers);

    /// Counts the changes of the rows (and the plans dropped): a plan made of the rows at one
    /// count is current while the count stays. O(1).
    quint64 Generation() const { return m_generation; }
    /// Shows `plan` as the rows' marks when it was made of the rows as they stood at
    /// `generation` and that is still the current one; a cancelled, stale or mis-sized plan is
    /// dropped (false). Moves the plan in: O(rows) for counting, one dataChanged for all.
    bool ShowPlan(RenamePlan&& plan, quint64 generation);
    /// Drops the plan shown, if any, and ends the current generation, so a plan under way is
    /// dropped when it arrives.
    void DropPlan();
    /// Whether a current plan is shown.
    bool HasPlan() const { return !m_fates.empty(); }
    /// The current plan's fates, one per row (empty without a plan).
    const std::vector<RowFate>& Fates() const { return m_fates; }
    /// How many rows of the current plan would not be renamed (unchanged rows are fine).
    qsizetype CannotBeRenamed() const { return m_cannotBeRenamed; }

    /// The one place that decides how a cell looks beyond its text. A New Name cell that the
    /// latest pass did not write (its prompt was cancelled or left empty, a "-" row was picked,
    /// or the row came after it) is drawn in italics, with a tooltip naming the operation and
    /// answers that made it, found by working out the earlier passes' names again (rows keep no
    /// record of it). With a current plan, the New Name cell of a row that would not be renamed
    /// is marked WillNotRename with the reason as a tooltip sentence, both cells of an unchanged
    /// row are marked Unchanged, and where the folder ends the whole run elsewhere than its row
    /// shows (a folder above it renamed), the tooltip gives that final path too; the tooltip's
    /// sentences are joined by line breaks. O(kept passes * path length).
    CellLook Look(const QModelIndex& index) const;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void BeginInsert(qsizetype first, qsizetype last) override;
    void EndInsert() override;
    void BeginRemove(qsizetype first, qsizetype last) override;
    void EndRemove() override;
    void BeginReset() override;
    void EndReset() override;
    void Changed(qsizetype first, qsizetype last) override;

  Q_SIGNALS:
    /// A plan has been shown or dropped.
    void planChanged();

  private:
    /// Forgets the plan without telling the views (a reset or row change tells them).
    bool ForgetPlan();
    /// One preview pass that wrote names.
    struct Pass {
        Operation operation;
        PromptAnswers answers;
    };

    FolderList& m_list;
    QStringList m_headers;
    std::vector<Pass> m_passes;  ///< distinct passes that ran an operation, latest first
    bool m_latestWrote = false;  ///< the latest pass ran m_passes.front(), not a "-" row

    std::vector<RowFate> m_fates;       ///< the current plan, one per row; empty: none
    std::vector<QString> m_finalPaths;  ///< each row's path after the whole run
    qsizetype m_cannotBeRenamed = 0;
    quint64 m_generation = 0;
    bool m_planDroppedByReset = false;
    mutable QIcon m_warningIcon;  ///< the style's, fetched when first drawn
};

}  // namespace trellisane
