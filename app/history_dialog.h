#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "rename/run_history.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace trellisane {

class Dialogs;

/// "History…": the runs of the history, newest first (object name "HistoryRuns"; columns:
/// when, in local time; the operation and its answers; folders renamed; state), and what can
/// be done with the one selected: "Undo" (asks the owner through `undoRequested`, and only when
/// no newer run over the same folders stands: otherwise it says which one to undo first),
/// "Show Undo" (the dry run, listed under the runs in "UndoPlan" with the preview's marks:
/// a warning for a folder that cannot be put back, grey for one already back, the reason as
/// its tooltip and in its last column), "Export CSV…" (RunCsv into a file the person picks),
/// and "Forget" (after a Yes). Every question and message goes through `dialogs`. The list is
/// read afresh by Refresh(), which the owner calls after an undo it made.
class HistoryDialog : public QDialog {
    Q_OBJECT

  public:
    /// The dialog over `history`, titled `title`; `dialogs` must outlive it.
    HistoryDialog(QWidget* parent, RunHistory history, Dialogs& dialogs, QString title);

    /// Reads the history again and lists it, keeping the selected run selected when it is
    /// still there (else the run Undo Last Renaming would take next, else the newest).
    void Refresh();
    /// The runs as listed, newest first.
    const std::vector<HistoryRun>& Runs() const { return m_runs; }
    /// Selects the run `id` (when listed).
    void Select(const QString& id);
    /// The id of the selected run, "" when none.
    QString Selected() const;

    /// The buttons' actions, as their clicks run them.
    void UndoSelected();
    void ShowUndoOfSelected();
    void ExportSelected();
    void ForgetSelected();

  Q_SIGNALS:
    /// The person asked to undo run `id`, which may be undone now. The owner undoes it (in
    /// the background), then calls Refresh().
    void undoRequested(const QString& id);

  private:
    void SelectionChanged();
    const HistoryRun* SelectedRun() const;

    RunHistory m_history;
    Dialogs& m_dialogs;
    QString m_title;
    std::vector<HistoryRun> m_runs;
    QTreeWidget* m_list;
    QTreeWidget* m_plan;
    QLabel* m_planCaption;
    QPushButton* m_undo;
    QPushButton* m_show;
    QPushButton* m_export;
    QPushButton* m_forget;
};

/// The words a person reads for a run's operation and answers: the operation's translated
/// text, then each answer quoted ("Add x to end of each in folder(s): x = "_old"").
QString DescribeRunOperation(const JournalAbout& about);

}  // namespace trellisane
