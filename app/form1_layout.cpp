#include "app/form1_layout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <algorithm>

#include "app/folder_list_view.h"
#include "app/path_cell_delegate.h"
#include "app/skin.h"
#include "app/tooltips.h"
#include "shell/texts.h"

namespace trellisane {

namespace {

using namespace form1_design;

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

QPushButton* MakeButton(QWidget& parent, const char* name, const char* caption,
                        const Placement& place) {
    auto* button = new QPushButton(Trellisane::tr(caption), &parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setFont(DesignFont(kButtonPoints));
    Place(*button, place);
    return button;
}

QTableView* MakeList(QWidget& parent, QAbstractItemModel& model) {
    auto* list = new QTableView(&parent);
    list->setObjectName(QStringLiteral("ListView1"));
    Place(*list, kListView1Place);
    list->setModel(&model);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setTabKeyNavigation(false);
    list->setShowGrid(false);
    list->setWordWrap(false);
    list->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    list->verticalHeader()->hide();
    // Fixed row heights keep scrolling a list of any length as cheap as the visible rows.
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
    list->horizontalHeader()->setStretchLastSection(false);
    list->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    list->horizontalHeader()->setHighlightSections(false);
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list->setToolTip(Trellisane::tr(kListToolTip));
    // Paths are cut on the left, so the folder's own name at their end always shows.
    list->setTextElideMode(Qt::ElideLeft);
    list->setItemDelegate(new PathCellDelegate(list));
    InstallRowKeys(*list);
    return list;
}

QGroupBox* MakeFrame(QWidget& parent, const char* name, const char* caption,
                     const Placement& place) {
    auto* frame = new QGroupBox(Trellisane::tr(caption), &parent);
    frame->setObjectName(QString::fromLatin1(name));
    Place(*frame, place);
    return frame;
}

}  // namespace

Form1Controls BuildForm1Layout(QWidget& form, QAbstractItemModel& model) {
    form.setObjectName(QStringLiteral("Form1"));
    // A fixed single border: no resizing and no maximize button.
    form.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                        Qt::WindowCloseButtonHint);
    form.setFixedSize(TwipsToPixels(kInnerWidthTwips), TwipsToPixels(kInnerHeightTwips));
    form.setFont(DesignFont(kDesignPoints));
    SetBackgroundColour(form, Qt::white);

    // Created in tab order; the setTabOrder calls below state the chain outright.
    Form1Controls c;
    c.ListView1 = MakeList(form, model);
    c.PushButton3 = MakeButton(form, "PushButton3", QT_TRANSLATE_NOOP("Trellisane", "Add Folder/s"),
                               kPushButton3Place);
    c.PushButton2 = MakeButton(
        form, "PushButton2", QT_TRANSLATE_NOOP("Trellisane", "Start Renaming"), kPushButton2Place);

    c.Frame1 = MakeFrame(form, "Frame1", QT_TRANSLATE_NOOP("Trellisane", "Options"), kFrame1Place);
    c.Combo1 = new QComboBox(c.Frame1);
    c.Combo1->setObjectName(QStringLiteral("Combo1"));
    c.Combo1->setEditable(false);
    c.Combo1->setMaxVisibleItems(20);
    Place(*c.Combo1, kCombo1Place);

    c.Frame2 = MakeFrame(form, "Frame2", QT_TRANSLATE_NOOP("Trellisane", "Add Folder Option"),
                         kFrame2Place);
    c.Check1 = new QCheckBox(Trellisane::tr("Add subfolders when adding folder"), c.Frame2);
    c.Check1->setObjectName(QStringLiteral("Check1"));
    Place(*c.Check1, kCheck1Place);
    c.Check1->setToolTip(Trellisane::tr(kSubfoldersToolTip));
    // Unticked: an add does exactly what was picked unless the person asks for the whole tree.
    c.Check1->setChecked(false);

    c.PushButton1 = MakeButton(form, "PushButton1", QT_TRANSLATE_NOOP("Trellisane", "Clear List"),
                               kPushButton1Place);
    c.PushButton4 = MakeButton(form, "PushButton4",
                               QT_TRANSLATE_NOOP("Trellisane", "Load Sample/Example Folders"),
                               kPushButton4Place);
    c.PushButton6 =
        MakeButton(form, "PushButton6", QT_TRANSLATE_NOOP("Trellisane", "Help"), kPushButton6Place);

    for (QWidget* surface : {static_cast<QWidget*>(c.Frame1), static_cast<QWidget*>(c.Frame2),
                             static_cast<QWidget*>(c.Check1)}) {
        SetBackgroundColour(*surface, Qt::white);
    }

    QWidget* const tabOrder[] = {c.ListView1, c.PushButton3, c.PushButton2, c.Combo1,
                                 c.Check1,    c.PushButton1, c.PushButton4, c.PushButton6};
    for (size_t i = 1; i < std::size(tabOrder); ++i) {
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        form.move(area.center() - QPoint(form.width() / 2, form.height() / 2));
    }
    return c;
}

void FitCheckBoxCaption(QCheckBox& check) {
    check.resize(std::max(check.width(), check.sizeHint().width()), check.height());
}

}  // namespace trellisane
