#include "app/list_keys.h"

#include <QEvent>
#include <QKeyEvent>
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

}  // namespace trellisane
