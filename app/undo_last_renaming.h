#pragma once

#include <QObject>

class QAbstractItemModel;
class QAction;
class QMenu;
class QWidget;

namespace trellisane {

class RenameController;

/// "Undo Last Renaming" in the window: its action (Ctrl+Z anywhere in the window, and an entry
/// of the list's context menu) over the controller's record of the last Start Renaming run.
/// The action is enabled exactly while pressing it would undo something (the controller's
/// CanUndo: a run that moved a folder, not undone, withdrawn or replaced, and nothing under
/// way). The run is withdrawn as soon as the list gains or loses rows or is emptied (an add,
/// the samples, a removal, "Clear List"); a preview pass keeps it.
class UndoLastRenaming : public QObject {
    Q_OBJECT

  public:
    /// The action (object name "UndoLastRenaming") is added to `window` and to `menu`; the
    /// rows of `model` are watched for `core`. All four must outlive this object, a child of
    /// `window`.
    UndoLastRenaming(QWidget& window, QMenu& menu, QAbstractItemModel& model,
                     RenameController& core);

    QAction* Action() const { return m_action; }

  private:
    QAction* m_action;
};

}  // namespace trellisane
