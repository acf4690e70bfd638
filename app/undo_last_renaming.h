#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "rename/undo.h"

class QAbstractItemModel;
class QAbstractItemView;
class QAction;
class QMenu;
class QWidget;

namespace trellisane {

class FolderList;

/// What one undo did: how many folders it put back, those it could not, and how many folders
/// renamed by earlier runs (which the undo does not cover) keep their new names.
struct UndoReport {
    std::size_t putBack = 0;
    std::vector<UndoOutcome> notPutBack;
    std::size_t keptByEarlierRuns = 0;
};

/// The message that tells a person what an undo did (UndoReport), in one box.
QString UndoMessage(const UndoReport& result);

/// "Undo Last Renaming" in the window: its action (Ctrl+Z anywhere in the window, and an entry
/// of the list's context menu) over the last run of Start Renaming, kept in memory only. The
/// action is enabled exactly while pressing it would undo something: there is a run that moved
/// a folder and has not been undone, withdrawn or replaced by a new run, and the window is not
/// blocked (an add or a run under way). The run is withdrawn as soon as the list
/// gains or loses rows or is emptied (an add, the samples, a removal, "Clear List"); a preview
/// pass keeps it.
class UndoLastRenaming : public QObject {
    Q_OBJECT

  public:
    /// The action (object name "UndoLastRenaming") is added to `window` and to `menu`; the
    /// rows of `model` are watched. All three must outlive this object, a child of `window`.
    UndoLastRenaming(QWidget& window, QMenu& menu, QAbstractItemModel& model);

    QAction* Action() const { return m_action; }

    /// Before a run over `list`: forgets the last run and returns `base` with hooks that
    /// record this one. The record lives as long as the returned operations do, so a run on a
    /// worker thread may outlast this object; nothing here touches it until AfterRun.
    RenamePlatform BeforeRun(const FolderList& list,
                             const RenamePlatform& base = DefaultRenamePlatform());
    /// After that run: the action is enabled when the run moved a folder.
    void AfterRun();
    /// Undoes the last run on `list` (LastRun::Undo) and disables the action. Nothing, when
    /// there is no run to undo or the window is blocked; else what the undo did.
    std::optional<UndoReport> Undo(FolderList& list);
    /// While blocked (an add or a run under way), the action is disabled and Undo does nothing.
    void SetBlocked(bool blocked);

  private:
    void Withdraw();
    void Enable();

    // Replaced, never cleared, when withdrawn: a run still recording keeps its own.
    std::shared_ptr<LastRun> m_run = std::make_shared<LastRun>();
    QAction* m_action;
    bool m_blocked = false;
    std::size_t m_earlierMoves = 0;  ///< folders moved by runs a newer run replaced
};

/// Gives `list` its context menu (object name "ListView1Menu", a child of `list`), shown where
/// the list is right-clicked. An entry is one addAction() on the menu returned.
QMenu* InstallListMenu(QAbstractItemView& list);

}  // namespace trellisane
