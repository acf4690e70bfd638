#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

#include "engine/operations.h"
#include "folders/folder_list.h"

namespace trellisane {

/// How one cell is drawn beyond its text.
struct CellLook {
    bool italic = false;  ///< a new path that the latest preview pass did not write
    QString toolTip;      ///< "" leaves the list's own tooltip
};

/// A table model over a FolderList: one row per listed folder, the current path in column 0
/// and the new path in column 1. It holds no copy of the rows, so a list of any size is
/// shown, scrolled, removed from and cleared at the cost of the visible rows only. Columns
/// appear as they are added (the list starts with none). Becomes the list's observer.
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

    /// The one place that decides how a cell looks beyond its text. A New Name cell that the
    /// latest pass did not write (its prompt was cancelled or left empty, a "-" row was picked,
    /// or the row came after it) is drawn in italics, with a tooltip naming the operation and
    /// answers that made it, found by working out the earlier passes' names again (rows keep no
    /// record of it). Every other cell looks plain. O(kept passes * path length).
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

  private:
    /// One preview pass that wrote names.
    struct Pass {
        Operation operation;
        PromptAnswers answers;
    };

    FolderList& m_list;
    QStringList m_headers;
    std::vector<Pass> m_passes;  ///< distinct passes that ran an operation, latest first
    bool m_latestWrote = false;  ///< the latest pass ran m_passes.front(), not a "-" row
};

}  // namespace trellisane
