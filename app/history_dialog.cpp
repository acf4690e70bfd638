#include "app/history_dialog.h"

#include <QApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSaveFile>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/folder_list_model.h"
#include "folders/folder_entries.h"
#include "shell/dialogs.h"
#include "shell/texts.h"

namespace trellisane {

namespace {

enum RunColumn { kWhen, kOperation, kFolders, kState };
enum PlanColumn { kNow, kBack, kWhy };

QString When(qint64 ms) {
    return QLocale().toString(QDateTime::fromMSecsSinceEpoch(ms).toLocalTime(),
                              QLocale::ShortFormat);
}

}  // namespace

QString DescribeRunOperation(const JournalAbout& about) {
    QString text = about.operation.isEmpty()
                       ? Trellisane::tr("(not recorded)")
                       : QCoreApplication::translate("Trellisane", about.operation.toUtf8());
    QStringList answers;
    for (const auto& [field, answer] : about.answers) {
        answers << Trellisane::tr("%1 = \"%2\"").arg(field, answer);
    }
    if (!answers.isEmpty()) text += QStringLiteral(": ") + answers.join(QStringLiteral(", "));
    return text;
}

HistoryDialog::HistoryDialog(QWidget* parent, RunHistory history, Dialogs& dialogs, QString title)
    : QDialog(parent),
      m_history(std::move(history)),
      m_dialogs(dialogs),
      m_title(std::move(title)),
      m_list(new QTreeWidget(this)),
      m_plan(new QTreeWidget(this)),
      m_planCaption(new QLabel(this)),
      m_undo(new QPushButton(Trellisane::tr("Undo"), this)),
      m_show(new QPushButton(Trellisane::tr("Show Undo"), this)),
      m_export(new QPushButton(Trellisane::tr("Export CSV..."), this)),
      m_forget(new QPushButton(Trellisane::tr("Forget"), this)) {
    setObjectName(QStringLiteral("History"));
    setWindowTitle(Trellisane::tr("History"));
    resize(760, 480);

    m_list->setObjectName(QStringLiteral("HistoryRuns"));
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setHeaderLabels({Trellisane::tr("When"), Trellisane::tr("Operation"),
                             Trellisane::tr("Folders"), Trellisane::tr("State")});
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(kOperation, QHeaderView::Stretch);
    m_plan->setObjectName(QStringLiteral("UndoPlan"));
    m_plan->setRootIsDecorated(false);
    m_plan->setHeaderLabels({Trellisane::tr("Where it is now"), Trellisane::tr("Put back to"),
                             Trellisane::tr("Why not")});
    m_plan->hide();
    m_planCaption->setObjectName(QStringLiteral("UndoPlanCaption"));
    m_planCaption->setWordWrap(true);
    m_planCaption->hide();

    m_undo->setObjectName(QStringLiteral("HistoryUndo"));
    m_show->setObjectName(QStringLiteral("HistoryShowUndo"));
    m_export->setObjectName(QStringLiteral("HistoryExport"));
    m_forget->setObjectName(QStringLiteral("HistoryForget"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    for (QPushButton* button : {m_undo, m_show, m_export, m_forget}) {
        buttons->addButton(button, QDialogButtonBox::ActionRole);
        button->setAutoDefault(false);
    }
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_undo, &QPushButton::clicked, this, &HistoryDialog::UndoSelected);
    connect(m_show, &QPushButton::clicked, this, &HistoryDialog::ShowUndoOfSelected);
    connect(m_export, &QPushButton::clicked, this, &HistoryDialog::ExportSelected);
    connect(m_forget, &QPushButton::clicked, this, &HistoryDialog::ForgetSelected);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &HistoryDialog::SelectionChanged);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 2);
    layout->addWidget(m_planCaption);
    layout->addWidget(m_plan, 3);
    layout->addWidget(buttons);
    Refresh();
}

void HistoryDialog::Refresh() {
    QString keep = Selected();
    m_runs = m_history.List();
    m_list->clear();
    for (const HistoryRun& run : m_runs) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(kWhen, When(run.about.startedMs));
        item->setText(kOperation, DescribeRunOperation(run.about));
        // The folders a run cut short was about to rename may or may not have been: said apart.
        item->setText(
            kFolders,
            run.uncertain > 0
                ? Trellisane::tr("%1, and up to %2 more").arg(run.renamed).arg(run.uncertain)
                : QString::number(run.renamed));
        item->setTextAlignment(kFolders, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(kState, DescribeRunState(run.state));
        item->setData(kWhen, Qt::UserRole, run.id);
        item->setToolTip(kOperation, item->text(kOperation));
    }
    m_list->resizeColumnToContents(kWhen);
    m_list->resizeColumnToContents(kFolders);
    m_list->resizeColumnToContents(kState);
    if (keep.isEmpty() || std::none_of(m_runs.begin(), m_runs.end(),
                                       [&keep](const HistoryRun& run) { return run.id == keep; })) {
        const HistoryRun* next = RunHistory::NextToUndo(m_runs);
        keep = next != nullptr ? next->id : m_runs.empty() ? QString() : m_runs.front().id;
    }
    Select(keep);
    SelectionChanged();
}

void HistoryDialog::Select(const QString& id) {
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_list->topLevelItem(i);
        if (item->data(kWhen, Qt::UserRole).toString() == id) {
            m_list->setCurrentItem(item);
            return;
        }
    }
}

QString HistoryDialog::Selected() const {
    const QTreeWidgetItem* item = m_list->currentItem();
    return item != nullptr ? item->data(kWhen, Qt::UserRole).toString() : QString();
}

const HistoryRun* HistoryDialog::SelectedRun() const {
    const QString id = Selected();
    const auto run = std::find_if(m_runs.begin(), m_runs.end(),
                                  [&id](const HistoryRun& each) { return each.id == id; });
    return run != m_runs.end() ? &*run : nullptr;
}

void HistoryDialog::SelectionChanged() {
    const HistoryRun* run = SelectedRun();
    const bool undoable = run != nullptr && run->state != RunState::Running &&
                          run->state != RunState::Undone && run->renamed + run->uncertain > 0;
    m_undo->setEnabled(undoable);
    m_show->setEnabled(undoable);
    m_export->setEnabled(run != nullptr);
    m_forget->setEnabled(run != nullptr && run->state != RunState::Running);
    m_plan->hide();
    m_planCaption->hide();
}

void HistoryDialog::UndoSelected() {
    const HistoryRun* run = SelectedRun();
    if (run == nullptr || !m_undo->isEnabled()) return;
    if (const std::optional<QString> blocker = m_history.BlockedBy(m_runs, run->id)) {
        const auto newer = std::find_if(m_runs.begin(), m_runs.end(), [&](const HistoryRun& each) {
            return each.id == *blocker;
        });
        m_dialogs.ShowMessage(
            Trellisane::tr("The run of %1 renamed some of the same folders after this one. Undo "
                           "it first: runs are undone newest first.")
                .arg(newer != m_runs.end() ? When(newer->about.startedMs) : *blocker),
            m_title, DialogIcon::Exclamation, DialogButtons::Ok);
        Select(*blocker);
        return;
    }
    Q_EMIT undoRequested(run->id);
}

void HistoryDialog::ShowUndoOfSelected() {
    const HistoryRun* run = SelectedRun();
    if (run == nullptr) return;
    const UndoOfRun dry = m_history.Undo(run->id, false);
    const std::vector<UndoPlanRow> rows = UndoPlan(dry);
    m_plan->clear();
    qsizetype putBack = 0;
    const QIcon warning = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (const UndoPlanRow& row : rows) {
        auto* item = new QTreeWidgetItem(m_plan);
        item->setText(kNow, row.now);
        item->setText(kBack, row.back);
        item->setText(kWhy, row.reason);
        const bool can = row.fate.status == RowStatus::Renamed;
        putBack += can ? 1 : 0;
        if (row.fate.status == RowStatus::Unchanged) {
            item->setForeground(kNow, UnchangedColour());
            item->setForeground(kBack, UnchangedColour());
            item->setToolTip(kNow, Trellisane::tr("The folder has its old name already."));
        } else if (!can) {
            item->setIcon(kNow, warning);
            item->setForeground(kNow, WillNotRenameColour());
            item->setForeground(kBack, WillNotRenameColour());
            item->setToolTip(kNow, row.reason);
        }
    }
    QString caption = Trellisane::tr("Undoing this run would put back %1 of %2 folders.")
                          .arg(putBack)
                          .arg(rows.size());
    if (!dry.blockedBy.isEmpty()) {
        caption += u' ' + Trellisane::tr("A newer run over the same folders must be undone first.");
    }
    if (dry.refusal == UndoRefusal::Unreadable) {
        caption = Trellisane::tr("The run's journal cannot be read: %1").arg(dry.detail);
    }
    m_planCaption->setText(caption);
    m_planCaption->show();
    m_plan->resizeColumnToContents(kNow);
    m_plan->resizeColumnToContents(kBack);
    m_plan->show();
}

void HistoryDialog::ExportSelected() {
    const HistoryRun* run = SelectedRun();
    if (run == nullptr) return;
    const QString suggested =
        QDir::homePath() + u'/' + QStringLiteral("trellisane-%1.csv").arg(run->id);
    const QString path = m_dialogs.SaveFile(Trellisane::tr("Export CSV"), suggested,
                                            Trellisane::tr("CSV files (*.csv)"));
    if (path.isEmpty()) return;
    QString error;
    const std::optional<JournalContents> contents = ReadJournal(run->path, error);
    if (contents) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(RunCsv(*contents, run->about.startedMs)) < 0 || !file.commit()) {
            error = file.errorString();
        }
    }
    if (!error.isEmpty()) {
        m_dialogs.ShowMessage(Trellisane::tr("The run could not be exported: %1").arg(error),
                              m_title, DialogIcon::Exclamation, DialogButtons::Ok);
    }
}

void HistoryDialog::ForgetSelected() {
    const HistoryRun* run = SelectedRun();
    if (run == nullptr) return;
    QString question = Trellisane::tr("Forget the run of %1? It can no longer be undone.")
                           .arg(When(run->about.startedMs));
    if (run->Standing()) {
        question += u' ' + Trellisane::tr("Its folders keep the names it gave them.");
    }
    if (m_dialogs.ShowMessage(question, m_title, DialogIcon::Question, DialogButtons::YesNo) !=
        DialogAnswer::Yes) {
        return;
    }
    QString error;
    if (!m_history.Forget(run->id, error)) {
        m_dialogs.ShowMessage(Trellisane::tr("The run could not be forgotten: %1").arg(error),
                              m_title, DialogIcon::Exclamation, DialogButtons::Ok);
    }
    Refresh();
}

}  // namespace trellisane
