#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

#include "rename/rename_run.h"

class QAction;
class QMenu;
class QWidget;

namespace trellisane {

class BackgroundJob;
class FolderList;
class FolderListModel;
struct PlanState;

/// Keeps the list's plan marks current: plans the rows (PlanRenames) off the user-interface
/// thread, one BackgroundJob at a time, each a direct child of the window (so closing the window
/// stops it like any other), and hands the result to the model, which shows it only while the
/// rows are still those it was made of. A change of the rows (a pass, an add, a removal, a run,
/// an undo) drops the plan shown; when nothing else asks for a new one, it is made again once
/// the event loop is back, for the rows as they then stand. The user-interface thread only
/// copies the rows, kRowsCopiedATurn a turn of its event loop (a million rows' paths take
/// it a fifth of a second in all, never all at once), and moves the result in.
class RowPlanner : public QObject {
    Q_OBJECT

  public:
    /// Plans the rows of `list` for `model` (which wraps it); both must outlive this object,
    /// a child of `window`.
    RowPlanner(QWidget& window, const FolderList& list, FolderListModel& model);

    /// The disk operations the plans read through (DefaultRenamePlatform() unless set; tests
    /// hold a plan with it). Applies from the next plan on.
    void SetPlatform(RenamePlatform platform) { m_platform = std::move(platform); }
    /// While `writing` says true, the rows are still being written (a long preview pass):
    /// a change then plans nothing; Refresh() afterwards does. May be empty.
    void SetWritingRows(std::function<bool()> writing) { m_writing = std::move(writing); }

    /// Drops the plan shown or under way and plans the rows as they stand now.
    void Refresh();
    /// Drops the plan shown or under way and makes none until Resume(): the disk is about to
    /// change under the rows (Start Renaming).
    void Hold();
    /// Ends a Hold() and plans the rows as they then stand.
    void Resume();
    /// Whether a plan is under way that may still be shown.
    bool Planning() const { return m_job != nullptr; }

  private:
    /// Copies the next slice of the rows for the plan under way; after the last, starts the
    /// plan's worker. A change of the rows meanwhile starts over.
    void CopySlice();
    /// Plans again once the event loop is back, unless a plan of the rows now is shown or
    /// under way by then.
    void RefreshSoon();
    /// Cancels the plan under way, if any; its result will be dropped.
    void CancelJob();

    QWidget& m_window;
    const FolderList& m_list;
    FolderListModel& m_model;
    RenamePlatform m_platform = DefaultRenamePlatform();
    BackgroundJob* m_job = nullptr;  // the plan under way, a child of the window
    quint64 m_plannedGeneration = 0;
    bool m_held = false;
    std::function<bool()> m_writing;
    /// The rows being copied for the next plan, a slice a turn of the event loop, and the
    /// timer of the next slice.
    std::shared_ptr<PlanState> m_copying;
    QTimer m_copySlice;
    QTimer m_soon;
};

/// Adds "Remove Rows That Cannot Be Renamed" (object name "RemoveRowsThatCannotBeRenamed", a
/// child of `menu`) to `menu`, enabled while the plan shown in `model` has a row that would not
/// be renamed. The caller connects its `triggered`.
QAction* AddRemoveRowsAction(QMenu& menu, FolderListModel& model);

}  // namespace trellisane
