#pragma once

#include <QCursor>
#include <QHash>
#include <QIcon>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/startup.h"
#include "folders/folder_list.h"
#include "folders/subfolder_walk.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QTableView;

namespace trellisane {

class Dialogs;
class FolderListModel;

/// Gathers every folder below the entries of `folders` into it (the sub-folder walk). Runs on
/// a worker thread; must honour `hooks.cancelled` and may call `hooks.report`.
using WalkFn = std::function<void(QStringList& folders, const WalkHooks& hooks)>;

/// The window-wide pointer values.
inline constexpr int kPointerDefault = 0;
inline constexpr int kPointerBusy = 11;
inline constexpr int kPointerHand = 99;

/// The list's tooltip.
inline constexpr char kListToolTip[] =
    "Double-click item to remove it. Move | line to right and out of window to reveal full names.";

/// Pixels for a length in twips, at 15 twips to the pixel.
constexpr int TwipsToPixels(int twips) { return twips / 15; }

/// The main window: the folder list, the operation selector, the sub-folder option and the
/// five buttons, with every handler. Everything runs on the user-interface thread except the
/// sub-folder walk and the sort of an add, which run on a worker thread per add.
///
/// The controls keep their design names, as members and as object names, so tests and the
/// error reports' locations line up with them.
class Form1 : public QWidget {
    Q_OBJECT

  public:
    /// Builds the window and runs Form_Load; it is then ready to show. `dialogs` (which must
    /// outlive the window) asks and tells everything; `programFolder` (without a trailing
    /// separator) holds the optional skin, pointer and samples; `draw` gives 1 to 100 for the
    /// home-page draw; `walk` replaces the sub-folder walk (empty: GetSubDirectories2016).
    Form1(Dialogs& dialogs, QString programFolder, DrawFn draw, WalkFn walk = {},
          QWidget* parent = nullptr);
    /// Stops and joins any add still walking.
    ~Form1() override;

    /// The window-wide pointer value: 0, 11 or 99.
    int Pointer() const { return m_pointer; }
    /// The listed folders.
    FolderList& List() { return m_list; }
    const FolderList& List() const { return m_list; }
    /// The title of every message box and prompt but the error report.
    const QString& ApplicationTitle() const { return m_title; }
    /// True while a preview pass runs (or start-up holds it off).
    bool PreviewBusy() const { return m_previewBusy; }
    /// Adds that have started and not yet appended their batch.
    int AddsInFlight() const { return static_cast<int>(m_adds.size()); }
    /// Adds whose batch is ready but waits for a Start Renaming run to end.
    int BatchesWaitingForRun() const { return static_cast<int>(m_waitingForRun.size()); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    struct AddJob;

    void BuildControls();
    void Form_Load();

    void PreviewRename();
    void Combo1_Click();
    void Check1_Click();
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton3_Click();
    void PushButton4_Click();
    void PushButton6_Click();
    void ListView1_DblClick();
    void ListView1_KeyDown(int key, Qt::KeyboardModifiers modifiers);

    /// Removes the selected row unless the pointer is busy, the list is empty or no row is
    /// selected. No preview pass.
    void RemoveSelectedRow();
    /// Sets the window pointer and the shape shown over the window and its controls.
    void SetPointer(int value);
    /// The movement rule: leaves a busy pointer alone, else sets `value`.
    void PointerRule(int value);

    /// Starts the worker of an add whose gathering list is ready.
    void StartAddWorker(const std::shared_ptr<AddJob>& job, bool recursive);
    /// Ends an add on the user-interface thread once its worker has finished.
    void FinishAdd(const std::shared_ptr<AddJob>& job);
    /// Cancels and joins every add still under way; their batches are dropped.
    void StopAdds();

    Dialogs& m_dialogs;
    QString m_programFolder;
    DrawFn m_draw;
    WalkFn m_walk;

    FolderList m_list;
    std::unique_ptr<FolderListModel> m_model;  // after m_list: goes first
    QString m_title;
    bool m_previewBusy = false;
    int m_pointer = kPointerDefault;
    std::optional<QCursor> m_handCursor;
    QHash<QObject*, int> m_pointerRules;  // tracked widget -> its movement rule's value

    std::vector<std::shared_ptr<AddJob>> m_adds;
    std::vector<std::shared_ptr<AddJob>> m_waitingForRun;
    int m_renamingRuns = 0;

    // The controls, by their design names.
    QTableView* ListView1 = nullptr;
    QPushButton* PushButton3 = nullptr;
    QPushButton* PushButton2 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* PushButton1 = nullptr;
    QPushButton* PushButton4 = nullptr;
    QPushButton* PushButton6 = nullptr;
};

/// The application icon compiled into the program, or a null icon when it was not built in.
QIcon ApplicationIcon();

}  // namespace trellisane
