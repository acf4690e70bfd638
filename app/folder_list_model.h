#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include "folders/folder_list.h"

namespace trellisane {

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
    FolderList& m_list;
    QStringList m_headers;
};

}  // namespace trellisane
