#include "app/form1.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QShowEvent>
#include <QTableView>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <climits>
#include <utility>

#include "app/accessibility.h"
#include "app/folder_drop.h"
#include "app/folder_list_model.h"
#include "app/folder_list_view.h"
#include "app/handler_lines.h"
#include "app/history_dialog.h"
#include "app/rename_run_job.h"
#include "app/row_planner.h"
#include "app/selector_texts.h"
#include "app/skin.h"
#include "app/undo_last_renaming.h"
#include "control/history_keeper.h"
#include "engine/error_report.h"
#include "engine/text_helpers.h"
#include "folders/samples.h"
#include "shell/dialogs.h"
#include "shell/product.h"
#include "shell/texts.h"

namespace trellisane {

namespace {

/// The selector row of "Remove numeric character(s) in folder(s)", counted from 0.
constexpr int kRemoveNumericRow = 14;

constexpr char kHelpText[] =
    QT_TRANSLATE_NOOP("Trellisane", "Questions? Please contact Team Quorvane at ");
constexpr char kSamplesQuestion[] = QT_TRANSLATE_NOOP(
    "Trellisane",
    "Would you like this software to open the folder where these sample files are stored (so "
    "that you can view them before working with them)?");

}  // namespace

QIcon ApplicationIcon() { return QIcon(QStringLiteral(":/icons/trellisane.png")); }

Form1::Form1(Dialogs& dialogs, QString programFolder, DrawFn draw, WalkFn walk, QWidget* parent)
    : QWidget(parent),
      m_dialogs(dialogs),
      m_programFolder(std::move(programFolder)),
      m_draw(std::move(draw)),
      m_core(new RenameController(dialogs, std::move(walk), this)),
      m_model(std::make_unique<FolderListModel>(m_core->List())) {
    BuildControls();
    Form_Load();
    FitCheckBoxCaption(*Check1);
}

Form1::~Form1() { StopWork(); }

void Form1::SetRenamePlatform(const RenamePlatform& platform) {
    m_core->SetPlatform(platform);
    m_planner->SetPlatform(platform);
}

void Form1::BuildControls() {
    static_cast<Form1Controls&>(*this) = BuildForm1Layout(*this, *m_model);
    DescribeForm1Controls(*this);

    m_pointers = TrackPointerRules(*this, *this);
    ListView1->installEventFilter(this);              // the Delete key
    ListView1->viewport()->installEventFilter(this);  // the double-click

    m_listMenu = InstallListMenu(*ListView1);
    m_undo = new UndoLastRenaming(*this, *m_listMenu, *m_model, *m_core);
    connect(m_undo->Action(), &QAction::triggered, this, [this] { UndoLastRenaming_Click(); });
    BuildPlanMarks();
    WireController();
    BuildHistory();
    // Folders dropped from a file manager are added as "Add Folder/s" adds, by the check box.
    new FolderDrop(*ListView1, [this](const DroppedItems& items) {
        AddFromOutside({items.paths, items.notFiles, std::nullopt});
    });

    connect(Combo1, &QComboBox::activated, this, [this](int) { Combo1_Click(); });
    FollowSelectorToolTip(*Combo1);
    connect(Check1, &QCheckBox::clicked, this, [this] { Check1_Click(); });
    connect(PushButton1, &QPushButton::clicked, this, [this] { PushButton1_Click(); });
    connect(PushButton2, &QPushButton::clicked, this, [this] { PushButton2_Click(); });
    connect(PushButton3, &QPushButton::clicked, this, [this] { PushButton3_Click(); });
    connect(PushButton4, &QPushButton::clicked, this, [this] { PushButton4_Click(); });
    connect(PushButton6, &QPushButton::clicked, this, [this] { PushButton6_Click(); });
}

void Form1::Form_Load() {
    using namespace lines;
    ErrorTrap trap(m_dialogs, QString::fromLatin1(kFormLoadLocation));

    trap.Check(kLoadSkin, [&] { return ApplyStartupSkin(*this, m_programFolder); });
    trap.Step(kLoadCaptionIconTitle, [&] { setWindowTitle(QString::fromLatin1(kProductName)); });
    trap.Step(kLoadCaptionIconTitle, [&] { setWindowIcon(ApplicationIcon()); });
    trap.Step(kLoadCaptionIconTitle,
              [&] { m_core->SetTitle(SetApplicationTitle(QString::fromLatin1(kProductName))); });

    const QString handPath = m_programFolder + QStringLiteral("/HAND-M.CUR");
    bool handFileThere = false;
    trap.Step(kLoadFindPointer, [&] { handFileThere = FileExists(handPath); });
    if (handFileThere) {
        trap.Check(kLoadPointer, [&] { return m_pointers->LoadHandCursor(handPath); });
    }

    trap.Check(kLoadHomePage, [&] { return MaybeOpenHomePage(m_draw, m_dialogs); });

    trap.Step(kLoadPreviewBusyOn, [&] { m_core->HoldPreview(true); });
    trap.Step(kLoadFirstColumn,
              [&] { m_model->AddColumn(Trellisane::tr("Name Of Folder - Current")); });
    trap.Step(kLoadSecondColumn,
              [&] { m_model->AddColumn(Trellisane::tr("Name Of Folder - New Name")); });
    trap.Step(kLoadFirstWidth, [&] {
        ListView1->horizontalHeader()->resizeSection(
            0, TwipsToPixels(form1_design::kColumnWidthTwips));
    });
    trap.Step(kLoadSecondWidth, [&] {
        ListView1->horizontalHeader()->resizeSection(
            1, TwipsToPixels(form1_design::kColumnWidthTwips));
    });
    QStringList entries;
    trap.Step(LoadSelectorRow(1), [&] { entries = CatalogueTexts(); });
    for (int row = 1; row <= entries.size(); ++row) {
        trap.Step(LoadSelectorRow(row),
                  [&] { Combo1->addItem(SelectorEntryText(entries[row - 1]), entries[row - 1]); });
    }
    trap.Step(kLoadSelectFirst, [&] {
        Combo1->setCurrentIndex(0);
        Combo1_Click();  // held off: PreviewBusy is set
    });
    trap.Step(kLoadPreviewBusyOff, [&] { m_core->HoldPreview(false); });
}

void Form1::PreviewRename() { m_core->Preview(); }

void Form1::Combo1_Click() { PreviewRename(); }

void Form1::Check1_Click() { PreviewRename(); }

void Form1::PushButton1_Click() {
    using namespace lines;
    ErrorTrap trap(m_dialogs, QString::fromLatin1(kClearListLocation));
    trap.Step(kClearRows, [&] { m_core->Clear(); });
    trap.Step(kClearPreview, [&] { PreviewRename(); });
}

void Form1::PushButton4_Click() {
    using namespace lines;
    if (!m_core->Allows(Action::Add)) return;  // nothing comes between a run's rows
    ErrorTrap trap(m_dialogs, QString::fromLatin1(kSamplesLocation));

    QString samplesPath;
    trap.Step(kSamplesPath, [&] { samplesPath = SamplesPath(m_programFolder); });
    m_core->AddSamples(trap, samplesPath);
    trap.Check(kSamplesSelect, [&]() -> std::optional<QString> {
        if (Combo1->count() <= kRemoveNumericRow) {
            return Trellisane::tr("The operation selector has no row %1.")
                .arg(kRemoveNumericRow + 1);
        }
        Combo1->setCurrentIndex(kRemoveNumericRow);
        Combo1_Click();  // a selection made by the program runs its pass like a pick
        return std::nullopt;
    });
    DialogAnswer answer = DialogAnswer::No;
    trap.Step(kSamplesAsk, [&] {
        answer = m_dialogs.ShowMessage(Trellisane::tr(kSamplesQuestion), ApplicationTitle(),
                                       DialogIcon::None, DialogButtons::YesNo);
    });
    trap.Step(kSamplesOpenFolder, [&] {
        // Whether the file browser could be started is not reported.
        if (answer == DialogAnswer::Yes) m_dialogs.OpenUrl(QUrl::fromLocalFile(samplesPath));
    });
    trap.Step(kSamplesPreview, [&] { PreviewRename(); });
}

// "Start Renaming": the controller renames the rows in list order on a worker (RenameRunJob,
// behind a progress dialog, the window painting meanwhile); nothing comes between its rows.
void Form1::PushButton2_Click() { m_core->StartRenaming(); }

void Form1::UndoLastRenaming_Click() { m_core->Undo(); }

void Form1::BuildHistory() {
    m_history = new HistoryKeeper(RunHistory(RunHistory::DefaultFolder()), this);
    m_core->SetHistory(m_history);

    auto* history = new QAction(Trellisane::tr("History..."), this);
    history->setObjectName(QStringLiteral("History"));
    history->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    history->setShortcutContext(Qt::WindowShortcut);
    addAction(history);
    m_listMenu->addAction(history);
    connect(history, &QAction::triggered, this, [this] { History_Click(); });

    // An undo of the history goes in the background: its progress shows once it has lasted a
    // while, and its Cancel stops it before the next folder.
    connect(m_core, &RenameController::busyChanged, this, [this] {
        const bool undoing = m_core->State() == Busy::Undoing;
        if (undoing && m_undoProgress == nullptr) {
            // Over "History..." when the undo comes from there, so that its Cancel can be
            // reached.
            QWidget* over = QApplication::activeModalWidget();
            m_undoProgress =
                new QProgressDialog(Trellisane::tr("Putting folders back..."),
                                    Trellisane::tr("Cancel"), 0, 0, over != nullptr ? over : this);
            m_undoProgress->setObjectName(QStringLiteral("UndoProgress"));
            m_undoProgress->setWindowTitle(ApplicationTitle());
            m_undoProgress->setWindowModality(Qt::WindowModal);
            m_undoProgress->setMinimumDuration(kRenameProgressDelayMs);
            m_undoProgress->setAutoClose(false);
            m_undoProgress->setAutoReset(false);
            connect(m_undoProgress, &QProgressDialog::canceled, m_history,
                    &HistoryKeeper::CancelUndo);
        } else if (!undoing && m_undoProgress != nullptr) {
            // Later, not now: a modal progress dialog runs the events (this one among them)
            // from inside its setValue. reset() stops its timer, which would otherwise show it
            // again inside the message that follows, before the deletion comes.
            m_undoProgress->reset();
            m_undoProgress->hide();
            m_undoProgress->deleteLater();
            m_undoProgress = nullptr;
        }
    });
    connect(m_history, &HistoryKeeper::undoProgressed, this, [this](qint64 done, qint64 total) {
        if (m_undoProgress == nullptr) return;
        // setValue last: a modal progress dialog runs the events inside it, and the end of the
        // undo among them lets go of the dialog.
        m_undoProgress->setLabelText(Trellisane::tr("Putting back folder %1 of %2")
                                         .arg(std::min(done + 1, total))
                                         .arg(total));
        m_undoProgress->setMaximum(static_cast<int>(std::min<qint64>(total, INT_MAX)));
        m_undoProgress->setValue(static_cast<int>(std::min<qint64>(done, INT_MAX)));
    });
}

void Form1::History_Click() {
    HistoryDialog dialog(this, m_history->History(), m_dialogs, ApplicationTitle());
    connect(&dialog, &HistoryDialog::undoRequested, m_core,
            [this](const QString& id) { m_core->UndoRun(id); });
    connect(m_history, &HistoryKeeper::undoFinished, &dialog, [&dialog] { dialog.Refresh(); });
    dialog.exec();
    m_history->ReadAgain();  // runs forgotten there are no longer to undo
}

void Form1::PushButton6_Click() {
    using namespace lines;
    ErrorTrap trap(m_dialogs, QString::fromLatin1(kHelpLocation));
    trap.Step(kHelpMessage, [&] {
        m_dialogs.ShowMessage(Trellisane::tr(kHelpText) + QString::fromLatin1(kContactPageUrl),
                              ApplicationTitle(), DialogIcon::None, DialogButtons::Ok);
    });
}

void Form1::ListView1_DblClick() { RemoveSelectedRow(); }

void Form1::ListView1_KeyDown(int key, Qt::KeyboardModifiers /*modifiers*/) {
    // Shift, Ctrl and Alt do not matter: Delete with any of them removes as Delete does.
    if (key == Qt::Key_Delete) RemoveSelectedRow();
}

void Form1::RemoveSelectedRow() {
    const QModelIndexList selected = ListView1->selectionModel()->selectedRows();
    if (!selected.isEmpty()) m_core->RemoveRow(selected.first().row() + 1);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && watched == ListView1->viewport() &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        ListView1_DblClick();
        return true;
    }
    if (event->type() == QEvent::KeyPress && watched == ListView1) {
        const auto* key = static_cast<QKeyEvent*>(event);
        ListView1_KeyDown(key->key(), key->modifiers());
        if (key->key() == Qt::Key_Delete) return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (std::exchange(m_shown, true)) return;
    // Start-up asks nothing: the offer comes once the window is on the screen.
    QTimer::singleShot(0, m_core, [core = m_core] { core->OfferUndoOfRunCutShort(); });
}

void Form1::closeEvent(QCloseEvent* event) {
    // Closing ends the program: a run stops after its current folder; an add still walking
    // is stopped and its batch dropped.
    StopWork();
    event->accept();
}

}  // namespace trellisane
