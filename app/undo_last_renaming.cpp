#include "app/undo_last_renaming.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>

#include "control/rename_controller.h"
#include "shell/texts.h"

namespace trellisane {

UndoLastRenaming::UndoLastRenaming(QWidget& window, QMenu& menu, QAbstractItemModel& model,
                                   RenameController& core)
    : QObject(&window), m_action(new QAction(Trellisane::tr("Undo Last Renaming"), this)) {
    m_action->setObjectName(QStringLiteral("UndoLastRenaming"));
    m_action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_action->setShortcutContext(Qt::WindowShortcut);
    m_action->setEnabled(false);
    window.addAction(m_action);
    menu.addAction(m_action);
    connect(&core, &RenameController::busyChanged, m_action,
            [this, &core] { m_action->setEnabled(core.CanUndo()); });
    // Rewriting rows (a run, a preview pass, the undo itself) only changes their data.
    const auto listChanged = [&core] { core.RowsAddedOrRemoved(); };
    connect(&model, &QAbstractItemModel::rowsInserted, this, listChanged);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, listChanged);
    connect(&model, &QAbstractItemModel::modelReset, this, listChanged);
}

}  // namespace trellisane
