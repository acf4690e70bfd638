#include "app/form1.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QUrl>
#include <algorithm>
#include <utility>

#include "app/cursor_file.h"
#include "app/folder_list_model.h"
#include "app/handler_lines.h"
#include "app/path_cell_delegate.h"
#include "app/skin.h"
#include "app/tooltips.h"
#include "engine/dialogs.h"
#include "engine/error_report.h"
#include "engine/operations.h"
#include "engine/preview.h"
#include "engine/product.h"
#include "engine/text_helpers.h"
#include "folders/samples.h"

namespace trellisane {

namespace {

/// A control's place in twips: left, top, width, height (relative to its container).
struct Placement {
    int left;
    int top;
    int width;
    int height;
};

constexpr int kInnerWidthTwips = 10440;
constexpr int kInnerHeightTwips = 5145;
constexpr int kColumnWidthTwips = 5000;

constexpr Placement kListView1Place{120, 120, 10200, 1815};
constexpr Placement kPushButton3Place{120, 2040, 5040, 405};
constexpr Placement kPushButton2Place{120, 4620, 10200, 405};
constexpr Placement kFrame1Place{120, 3735, 10200, 765};
constexpr Placement kCombo1Place{240, 270, 9735, 345};  // inside Frame1
constexpr Placement kFrame2Place{120, 3030, 10215, 645};
constexpr Placement kCheck1Place{240, 270, 3255, 255};  // inside Frame2
constexpr Placement kPushButton1Place{5280, 2040, 5040, 405};
constexpr Placement kPushButton4Place{5280, 2550, 5040, 405};
constexpr Placement kPushButton6Place{120, 2550, 5040, 405};

constexpr qreal kDesignPoints = 9.0;
constexpr qreal kButtonPoints = 11.25;

/// The selector row of "Remove numeric character(s) in folder(s)", counted from 0.
constexpr int kRemoveNumericRow = 14;

constexpr char kHelpText[] = "Questions? Please contact Team Quorvane at ";
constexpr char kSamplesQuestion[] =
    "Would you like this software to open the folder where these sample files are stored (so "
    "that you can view them before working with them)?";

void Place(QWidget& widget, const Placement& place) {
    widget.setGeometry(TwipsToPixels(place.left), TwipsToPixels(place.top),
                       TwipsToPixels(place.width), TwipsToPixels(place.height));
}

/// Arial bold, or the metric-compatible Liberation Sans where Arial is not installed.
QFont DesignFont(qreal points) {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption,
                        const Placement& place) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setFont(DesignFont(kButtonPoints));
    Place(*button, place);
    return button;
}

}  // namespace

QIcon ApplicationIcon() {
    const QString resource = QStringLiteral(":/icons/trellisane.png");
    return QFile::exists(resource) ? QIcon(resource) : QIcon();
}

Form1::Form1(Dialogs& dialogs, QString programFolder, DrawFn draw, WalkFn walk, QWidget* parent)
    : QWidget(parent),
      m_dialogs(dialogs),
      m_programFolder(std::move(programFolder)),
      m_draw(std::move(draw)),
      m_walk(std::move(walk)),
      m_model(std::make_unique<FolderListModel>(m_list)) {
    if (!m_walk) {
        m_walk = [](QStringList& folders, const WalkHooks& hooks) {
            GetSubDirectories2016(folders, true, hooks);
        };
    }
    BuildControls();
    Form_Load();
    // The check box's design width fits its caption in Arial on Windows; where the font, the
    // indicator or the skin come out wider, it grows to the right (the frame has room) rather
    // than cutting the caption off.
    Check1->resize(std::max(Check1->width(), Check1->sizeHint().width()), Check1->height());
}

Form1::~Form1() { StopAdds(); }

void Form1::BuildControls() {
    setObjectName(QStringLiteral("Form1"));
    // A fixed single border: no resizing and no maximize button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(TwipsToPixels(kInnerWidthTwips), TwipsToPixels(kInnerHeightTwips));
    setFont(DesignFont(kDesignPoints));
    SetBackgroundColour(*this, Qt::white);

    // Created in tab order; the setTabOrder calls below state the chain outright.
    ListView1 = new QTableView(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    Place(*ListView1, kListView1Place);
    ListView1->setModel(m_model.get());
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setTabKeyNavigation(false);
    ListView1->setShowGrid(false);
    ListView1->setWordWrap(false);
    ListView1->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    ListView1->verticalHeader()->hide();
    // Fixed row heights keep scrolling a list of any length as cheap as the visible rows.
    ListView1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ListView1->verticalHeader()->setDefaultSectionSize(ListView1->fontMetrics().height() + 4);
    ListView1->horizontalHeader()->setStretchLastSection(false);
    ListView1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    ListView1->horizontalHeader()->setHighlightSections(false);
    ListView1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ListView1->setToolTip(QString::fromLatin1(kListToolTip));
    // Paths are cut on the left, so the folder's own name at their end always shows.
    ListView1->setTextElideMode(Qt::ElideLeft);
    ListView1->setItemDelegate(new PathCellDelegate(ListView1));

    PushButton3 = MakeButton(this, "PushButton3", "Add Folder/s", kPushButton3Place);
    PushButton2 = MakeButton(this, "PushButton2", "Start Renaming", kPushButton2Place);

    Frame1 = new QGroupBox(QStringLiteral("Options"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Place(*Frame1, kFrame1Place);
    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(false);
    Combo1->setMaxVisibleItems(20);
    Place(*Combo1, kCombo1Place);

    Frame2 = new QGroupBox(QStringLiteral("Add Folder Option"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Place(*Frame2, kFrame2Place);
    Check1 = new QCheckBox(QStringLiteral("Add subfolders when adding folder"), Frame2);
    Check1->setObjectName(QStringLiteral("Check1"));
    Place(*Check1, kCheck1Place);
    Check1->setToolTip(QString::fromLatin1(kSubfoldersToolTip));
    // Unticked: an add does exactly what was picked unless the person asks for the whole tree.
    Check1->setChecked(false);

    PushButton1 = MakeButton(this, "PushButton1", "Clear List", kPushButton1Place);
    PushButton4 = MakeButton(this, "PushButton4", "Load Sample/Example Folders", kPushButton4Place);
    PushButton6 = MakeButton(this, "PushButton6", "Help", kPushButton6Place);

    for (QWidget* surface : {static_cast<QWidget*>(Frame1), static_cast<QWidget*>(Frame2),
                             static_cast<QWidget*>(Check1)}) {
        SetBackgroundColour(*surface, Qt::white);
    }

    setTabOrder(ListView1, PushButton3);
    setTabOrder(PushButton3, PushButton2);
    setTabOrder(PushButton2, Combo1);
    setTabOrder(Combo1, Check1);
    setTabOrder(Check1, PushButton1);
    setTabOrder(PushButton1, PushButton4);
    setTabOrder(PushButton4, PushButton6);

    // The pointer rules: where the mouse moves decides the window-wide pointer. Each tracked
    // control keeps its movements to itself, so a button's rule is not undone by the window's
    // own rule on the way up.
    setMouseTracking(true);
    const std::pair<QWidget*, int> rules[] = {
        {ListView1, kPointerDefault},
        {ListView1->viewport(), kPointerDefault},
        {ListView1->horizontalHeader(), kPointerDefault},
        {ListView1->horizontalHeader()->viewport(), kPointerDefault},
        {Frame1, kPointerDefault},
        {Frame2, kPointerDefault},
        {PushButton1, kPointerHand},
        {PushButton2, kPointerHand},
        {PushButton3, kPointerHand},
        {PushButton4, kPointerHand},
        {PushButton6, kPointerHand},
    };
    for (const auto& [widget, value] : rules) {
        widget->setMouseTracking(true);
        widget->setAttribute(Qt::WA_NoMousePropagation);
        widget->installEventFilter(this);
        m_pointerRules.insert(widget, value);
    }
    ListView1->installEventFilter(this);  // the Delete key

    connect(Combo1, &QComboBox::activated, this, [this](int) { Combo1_Click(); });
    connect(Combo1, &QComboBox::currentTextChanged, this,
            [this](const QString& text) { Combo1->setToolTip(SelectorToolTip(text)); });
    connect(Check1, &QCheckBox::clicked, this, [this] { Check1_Click(); });
    connect(PushButton1, &QPushButton::clicked, this, [this] { PushButton1_Click(); });
    connect(PushButton2, &QPushButton::clicked, this, [this] { PushButton2_Click(); });
    connect(PushButton3, &QPushButton::clicked, this, [this] { PushButton3_Click(); });
    connect(PushButton4, &QPushButton::clicked, this, [this] { PushButton4_Click(); });
    connect(PushButton6, &QPushButton::clicked, this, [this] { PushButton6_Click(); });

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void Form1::Form_Load() {
    using namespace lines;
    ErrorTrap trap(m_dialogs, QString::fromLatin1(kFormLoadLocation));

    trap.Step(kLoadSkin, [&] { ApplyStartupSkin(*this, m_programFolder); });
    trap.Step(kLoadCaptionIconTitle, [&] { setWindowTitle(QString::fromLatin1(kProductName)); });
    trap.Step(kLoadCaptionIconTitle, [&] { setWindowIcon(ApplicationIcon()); });
    trap.Step(kLoadCaptionIconTitle,
              [&] { m_title = SetApplicationTitle(QString::fromLatin1(kProductName)); });

    const QString handPath = m_programFolder + QStringLiteral("/HAND-M.CUR");
    bool handFileThere = false;
    trap.Step(kLoadFindPointer, [&] { handFileThere = FileExists(handPath); });
    if (handFileThere) {
        trap.Step(kLoadPointer, [&] {
            m_handCursor = LoadCursorFile(handPath);
            if (!m_handCursor) {
                throw TrappedError(
                    QStringLiteral("The pointer image %1 could not be read.").arg(handPath));
            }
        });
    }

    trap.Step(kLoadHomePage, [&] { MaybeOpenHomePage(m_draw, m_dialogs); });

    trap.Step(kLoadPreviewBusyOn, [&] { m_previewBusy = true; });
    trap.Step(kLoadFirstColumn,
              [&] { m_model->AddColumn(QStringLiteral("Name Of Folder - Current")); });
    trap.Step(kLoadSecondColumn,
              [&] { m_model->AddColumn(QStringLiteral("Name Of Folder - New Name")); });
    trap.Step(kLoadFirstWidth, [&] {
        ListView1->horizontalHeader()->resizeSection(0, TwipsToPixels(kColumnWidthTwips));
    });
    trap.Step(kLoadSecondWidth, [&] {
        ListView1->horizontalHeader()->resizeSection(1, TwipsToPixels(kColumnWidthTwips));
    });
    QStringList entries;
    trap.Step(LoadSelectorRow(1), [&] { entries = CatalogueTexts(); });
    for (int row = 1; row <= entries.size(); ++row) {
        trap.Step(LoadSelectorRow(row), [&] { Combo1->addItem(entries[row - 1]); });
    }
    trap.Step(kLoadSelectFirst, [&] {
        Combo1->setCurrentIndex(0);
        Combo1_Click();  // held off: PreviewBusy is set
    });
    trap.Step(kLoadPreviewBusyOff, [&] { m_previewBusy = false; });
}

void Form1::PreviewRename() {
    PreviewHooks hooks;
    hooks.selectorText = [this] { return Combo1->currentText(); };
    hooks.ask = [this](const QString& prompt) { return m_dialogs.Prompt(prompt, m_title); };
    hooks.enableStartRenaming = [this] { PushButton2->setEnabled(true); };
    hooks.answered = [this](Operation operation, const PromptAnswers& answers) {
        m_model->NotePass(operation, answers);
    };
    hooks.report = [this](const QString& description, int line) {
        ShowErrorReport(m_dialogs, description, QString::fromLatin1(kPreviewLocation), line);
    };
    trellisane::PreviewRename(m_previewBusy, m_list, hooks);
}

void Form1::Combo1_Click() { PreviewRename(); }

void Form1::Check1_Click() { PreviewRename(); }

void Form1::PushButton1_Click() {
    using namespace lines;
    ErrorTrap trap(m_dialogs, QString::fromLatin1(kClearListLocation));
    trap.Step(kClearRows, [&] {
        if (m_pointer != kPointerBusy) m_list.Clear();
    });
    trap.Step(kClearPreview, [&] { PreviewRename(); });
}

void Form1::PushButton4_Click() {
    using namespace lines;
    ErrorTrap trap(m_dialogs, QString::fromLatin1(kSamplesLocation));

    QString samplesPath;
    trap.Step(kSamplesPath, [&] { samplesPath = SamplesPath(m_programFolder); });
    SampleFolder samples(samplesPath);
    trap.Step(kSamplesOpen, [&] {
        const QString failure = samples.Open();
        if (!failure.isEmpty()) throw TrappedError(failure);
    });
    trap.Step(kSamplesList, [&] {
        const QString failure = samples.List();
        if (!failure.isEmpty()) throw TrappedError(failure);
    });
    trap.Step(kSamplesWalk, [&] {
        if (!samples.Listed()) {
            throw TrappedError(
                QStringLiteral("There is no listing of %1 to go through.").arg(samplesPath));
        }
        m_list.AppendInOrder(samples.Rows());
    });
    trap.Step(kSamplesSelect, [&] {
        if (Combo1->count() <= kRemoveNumericRow) {
            throw TrappedError(
                QStringLiteral("The operation selector has no row %1.").arg(kRemoveNumericRow + 1));
        }
        Combo1->setCurrentIndex(kRemoveNumericRow);
        Combo1_Click();  // a selection made by the program runs its pass like a pick
    });
    DialogAnswer answer = DialogAnswer::No;
    trap.Step(kSamplesAsk, [&] {
        answer = m_dialogs.ShowMessage(QString::fromLatin1(kSamplesQuestion), m_title,
                                       DialogIcon::None, DialogButtons::YesNo);
    });
    trap.Step(kSamplesOpenFolder, [&] {
        // Whether the file browser could be started is not reported.
        if (answer == DialogAnswer::Yes) m_dialogs.OpenUrl(QUrl::fromLocalFile(samplesPath));
    });
    trap.Step(kSamplesPreview, [&] { PreviewRename(); });
}

void Form1::PushButton6_Click() {
    using namespace lines;
    ErrorTrap trap(m_dialogs, QString::fromLatin1(kHelpLocation));
    trap.Step(kHelpMessage, [&] {
        m_dialogs.ShowMessage(QString::fromLatin1(kHelpText) + QString::fromLatin1(kContactPageUrl),
                              m_title, DialogIcon::None, DialogButtons::Ok);
    });
}

void Form1::ListView1_DblClick() { RemoveSelectedRow(); }

void Form1::ListView1_KeyDown(int key, Qt::KeyboardModifiers /*modifiers*/) {
    // Shift, Ctrl and Alt do not matter: Delete with any of them removes as Delete does.
    if (key == Qt::Key_Delete) RemoveSelectedRow();
}

void Form1::RemoveSelectedRow() {
    if (m_pointer == kPointerBusy) return;
    if (m_list.Count() == 0) return;
    const QModelIndexList selected = ListView1->selectionModel()->selectedRows();
    if (selected.isEmpty()) return;
    m_list.Remove(selected.first().row() + 1);
}

void Form1::SetPointer(int value) {
    const bool changed = value != m_pointer;
    m_pointer = value;
    if (!changed) return;  // the shape is already showing
    switch (value) {
        case kPointerBusy:
            setCursor(Qt::WaitCursor);
            break;
        case kPointerHand:
            setCursor(m_handCursor ? *m_handCursor : QCursor(Qt::PointingHandCursor));
            break;
        default:
            unsetCursor();
            break;
    }
}

void Form1::PointerRule(int value) {
    if (m_pointer == kPointerBusy) return;
    SetPointer(value);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseMove: {
            const auto rule = m_pointerRules.constFind(watched);
            if (rule != m_pointerRules.cend()) PointerRule(rule.value());
            break;
        }
        case QEvent::MouseButtonDblClick:
            if (watched == ListView1->viewport() &&
                static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                ListView1_DblClick();
                return true;
            }
            break;
        case QEvent::KeyPress:
            if (watched == ListView1) {
                const auto* key = static_cast<QKeyEvent*>(event);
                ListView1_KeyDown(key->key(), key->modifiers());
                if (key->key() == Qt::Key_Delete) return true;
            }
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    PointerRule(kPointerDefault);
    QWidget::mouseMoveEvent(event);
}

void Form1::closeEvent(QCloseEvent* event) {
    // Closing ends the program: an add still walking is stopped and its batch dropped.
    StopAdds();
    event->accept();
}

}  // namespace trellisane
