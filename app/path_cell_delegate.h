#pragma once

#include <QStyledItemDelegate>

namespace trellisane {

/// Draws the folder list's cells as Qt's own delegate does, and gives a cell whose path is
/// elided a tooltip with the whole path, followed by the model's own tooltip for the cell if it
/// has one. Any other cell shows the model's tooltip, or, without one, the list's own.
class PathCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    /// Whether the cell's text does not fit its cell and is drawn elided. Measures the text
    /// with the cell's own font (italics included) within the style's text area. O(text).
    bool IsElided(const QStyleOptionViewItem& option, const QModelIndex& index) const;
};

}  // namespace trellisane
