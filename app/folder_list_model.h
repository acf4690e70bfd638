#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QIcon>
#include <QStringList>
#include <memory>
#include <vector>

#include "engine/operations.h"
#include "folders/folder_list.h"
#include "rename/rename_plan.h"
#include "rename/rename_run.h"

namespace trellisane {

/// What the current plan says of a row, as the list draws it.
enum class PlanMark {
    None,           ///< no plan, or the folder gets its new name
    WillNotRename,  ///< Start Renaming would leave the folder where it is: a warning
    Unchanged,      ///< the new path is the current one: greyed
    Renamed,        ///< the last run renamed the folder and nothing new is asked of it yet
    RunFailed,      ///< the last run could not rename the folder: a warning, with its reason
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
    /// (OpNone for a separator row) and its answers. Returns the number the pass stamps the
    /// rows it writes with (0 for a separator row). Only how cells are drawn changes.
    quint32 NotePass(Operation operation, const PromptAnswers& answers);
    /// Keeps the outcomes of a run over the list's first `run.outcomes.size()` rows and stamps
    /// each of those rows with it, so that the rows show what the run did with them until a
    /// preview pass asks something new of them. Runs no row refers to any more are let go
    /// (the last few are kept). O(rows).
    void RecordRun(std::shared_ptr<const RenameRun> run);
    /// What the last run that tried the row at `position` (1-based) did, or nullptr when none
    /// is known. O(kept runs).
    const RowOutcome* RunOutcome(qsizetype position) const;

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
    /// answers that made it, as the row records them. A row that the last run tried and that
    /// has been asked nothing new since (no new path, or its current one) shows what the run did:
    /// Renamed, with the path it came from, or RunFailed, with the run's report; a row the run
    /// left as it was is greyed. Otherwise, with a current plan, the New Name cell of a row that
    /// would not be renamed is marked WillNotRename with the reason as a tooltip sentence, both
    /// cells of an unchanged row are marked Unchanged, and where the folder ends the whole run
    /// elsewhere than its row shows (a folder above it renamed), the tooltip gives that final path
    /// too; the tooltip's sentences are joined by line breaks. A row that gives its folder's new
    /// name first is named by its folder's path, elided on the left. O(path length).
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
    /// The look of a row that the last run tried and that nothing new has been asked of.
    bool LookOfRun(const FolderRow& row, const RowOutcome& outcome, CellLook& look) const;
    /// The sentence of a plan's fate for the row `row`, naming other rows by their paths.
    QString FateSentence(const RowFate& fate, const FolderRow& row) const;

    FolderList& m_list;
    QStringList m_headers;
    std::vector<Pass> m_passes;  ///< every pass that ran an operation; pass number n at n - 1
    quint32 m_latestPass = 0;    ///< the latest pass's number; 0: it was a "-" row
    /// The runs rows may still refer to, oldest first, by number.
    std::vector<std::pair<quint32, std::shared_ptr<const RenameRun>>> m_runs;
    quint32 m_nextRun = 1;

    std::vector<RowFate> m_fates;  ///< the current plan, one per row; empty: none
    /// Each row's path after the whole run, where it differs from the path the row shows
    /// (the row planner leaves the others empty); "" where it does not.
    std::vector<QString> m_finalPaths;
    qsizetype m_cannotBeRenamed = 0;
    quint64 m_generation = 0;
    bool m_planDroppedByReset = false;
    mutable QIcon m_warningIcon;  ///< the style's, fetched when first drawn
};

}  // namespace trellisane
