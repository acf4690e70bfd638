#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace trellisane {

/// One listed folder: its current full path and the path it would get. Both end with the
/// path separator; `newPath` is "" until a preview pass writes it.
///
/// Beside the two paths a row keeps, for display only, two numbers that the window resolves:
/// which preview pass wrote its new path, and which run last tried it. Nothing decides by them.
struct FolderRow {
    QString current;
    QString newPath;
    /// The number the window gave the preview pass that wrote `newPath`; 0: none (not written
    /// by a pass, or written before numbering).
    quint32 pass = 0;
    /// The number of the last run that tried this row (0: none) and the row's 1-based place in
    /// that run's outcomes.
    quint32 run = 0;
    quint32 runRow = 0;
};

/// Told of every change to a FolderList, in the order of Qt's item-model notifications, so a
/// table model can wrap the list. Positions are 1-based and inclusive.
class FolderListObserver {
  public:
    virtual ~FolderListObserver() = default;
    virtual void BeginInsert(qsizetype first, qsizetype last) = 0;
    virtual void EndInsert() = 0;
    virtual void BeginRemove(qsizetype first, qsizetype last) = 0;
    virtual void EndRemove() = 0;
    virtual void BeginReset() = 0;
    virtual void EndReset() = 0;
    virtual void Changed(qsizetype first, qsizetype last) = 0;
};

/// The folder list: rows addressed by 1-based position, without keys; the same folder may
/// stand in several rows. No limit on the number of rows.
class FolderList {
  public:
    /// Number of rows. O(1).
    qsizetype Count() const { return static_cast<qsizetype>(m_rows.size()); }
    /// Row at `position` (1 to Count()). Precondition: in range. O(1).
    const FolderRow& Row(qsizetype position) const { return m_rows[position - 1]; }
    /// All rows, first to last.
    const std::vector<FolderRow>& Rows() const { return m_rows; }

    /// Writes the current path of one row; notifies unless a BulkChange is open. O(1).
    void SetCurrent(qsizetype position, const QString& path);
    /// Writes the new path of one row and the number of the pass that wrote it (0: none);
    /// notifies unless a BulkChange is open. O(1).
    void SetNewPath(qsizetype position, const QString& path, quint32 pass = 0);
    /// Records that run number `run` tried this row as its `runRow`-th row (0, 0: forgets any
    /// run). Display only; notifies unless a BulkChange is open. O(1).
    void SetRun(qsizetype position, quint32 run, quint32 runRow);

    /// Appends one batch in depth order (SortBatch); existing rows keep their places.
    /// O(n log n) in the batch.
    void AppendBatch(const QStringList& gathered);
    /// Appends rows for `paths` in the given order, with empty new paths. O(n).
    void AppendInOrder(const QStringList& paths);
    /// Removes the row at `position`; the rows after it move up. O(rows).
    void Remove(qsizetype position);
    /// Removes every row. O(rows).
    void Clear();
    /// Removes every row whose entry in `marked` (one per row, first to last) is true; the
    /// others keep their order. Told as one reset when any goes. O(rows).
    void RemoveMarked(const std::vector<bool>& marked);

    /// The observer told of changes, or nullptr. Not owned.
    void SetObserver(FolderListObserver* observer) { m_observer = observer; }

    /// While one is alive, SetCurrent/SetNewPath send no per-row notification; when the
    /// outermost ends, one Changed over every row is sent if anything was written.
    class BulkChange {
      public:
        explicit BulkChange(FolderList& list) : m_list(list) { ++m_list.m_bulkDepth; }
        ~BulkChange();
        BulkChange(const BulkChange&) = delete;
        BulkChange& operator=(const BulkChange&) = delete;

      private:
        FolderList& m_list;
    };

  private:
    void Written(qsizetype position);

    std::vector<FolderRow> m_rows;
    FolderListObserver* m_observer = nullptr;
    int m_bulkDepth = 0;
    bool m_bulkDirty = false;
};

/// Number of path separators in `path`. O(n).
qsizetype PathDepth(const QString& path, QChar separator);

/// Binary order of two texts: UTF-16 code unit by code unit, a prefix first. O(n).
bool BinaryLess(const QString& a, const QString& b);

/// The order in which a batch is appended: deepest first (most separators), then binary order
/// of the paths, stable for equal paths. Depth is compared as a number, so the order holds
/// for any depth. The paths are filed in a FolderTree and ranked by walking it, so no two whole
/// paths are compared: linear in the batch's length plus sorting each folder's sub-folders by
/// name. Safe to call on any thread.
QStringList SortBatch(const QStringList& gathered, QChar separator);

}  // namespace trellisane
