#include "app/path_cell_delegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>

namespace trellisane {

bool PathCellDelegate::IsElided(const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    if (cell.text.isEmpty()) return false;
    const QStyle* style = cell.widget != nullptr ? cell.widget->style() : QApplication::style();
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, cell.widget);
    // Qt's styles keep this margin on either side of an item's text.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, cell.widget) + 1;
    const int room = area.width() - 2 * margin;
    return cell.fontMetrics.horizontalAdvance(cell.text) > room;
}

bool PathCellDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                 const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event == nullptr || event->type() != QEvent::ToolTip || !index.isValid() ||
        !IsElided(option, index)) {
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
    QString tip = index.data(Qt::DisplayRole).toString();
    const QString own = index.data(Qt::ToolTipRole).toString();
    if (!own.isEmpty()) tip += u'\n' + own;
    QToolTip::showText(event->globalPos(), tip, view, option.rect);
    return true;
}

}  // namespace trellisane
