#include "app/folder_list_view.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QObject>
#include <QTableView>

namespace trellisane {

namespace {

/// Home and End on the list go to its first and last row, not to the first and last column.
class RowKeys : public QObject {
  public:
    explicit RowKeys(QTableView& list) : QObject(&list), m_list(list) {
        list.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Home && key->key() != Qt::Key_End) ||
            key->modifiers() != Qt::NoModifier) {
            return QObject::eventFilter(watched, event);
        }
        QAbstractItemModel* model = m_list.model();
        const int row = key->key() == Qt::Key_Home ? 0 : model->rowCount() - 1;
        if (row >= 0) {
            const QModelIndex to = model->index(row, 0);
            m_list.setCurrentIndex(to);
            m_list.scrollTo(to);
        }
        return true;
    }

  private:
    QTableView& m_list;
};

}  // namespace

void InstallRowKeys(QTableView& list) { new RowKeys(list); }

QMenu* InstallListMenu(QAbstractItemView& list) {
    auto* menu = new QMenu(&list);
    menu->setObjectName(QStringLiteral("ListView1Menu"));
    list.setContextMenuPolicy(Qt::CustomContextMenu);
    // A scroll area reports the click in its viewport's coordinates.
    QObject::connect(
        &list, &QWidget::customContextMenuRequested, menu,
        [&list, menu](const QPoint& at) { menu->popup(list.viewport()->mapToGlobal(at)); });
    return menu;
}

}  // namespace trellisane
