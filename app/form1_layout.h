#pragma once

#include <QtGlobal>

class QAbstractItemModel;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QTableView;
class QWidget;

namespace trellisane {

/// Pixels for a length in twips, at 15 twips to the pixel.
constexpr int TwipsToPixels(int twips) { return twips / 15; }

/// A control's place in twips: left, top, width, height (relative to its container).
struct Placement {
    int left;
    int top;
    int width;
    int height;
};

/// The main window's design, in twips, as the controls stand on it.
namespace form1_design {

inline constexpr int kInnerWidthTwips = 10440;
inline constexpr int kInnerHeightTwips = 5145;
/// Each of the list's two columns.
inline constexpr int kColumnWidthTwips = 5000;

// clang-format off
//                                            left   top  width height
inline constexpr Placement kListView1Place{    120,  120, 10200, 1815};
inline constexpr Placement kPushButton3Place{  120, 2040,  5040,  405};
inline constexpr Placement kPushButton2Place{  120, 4620, 10200,  405};
inline constexpr Placement kFrame1Place{       120, 3735, 10200,  765};
inline constexpr Placement kCombo1Place{       240,  270,  9735,  345};  // inside Frame1
inline constexpr Placement kFrame2Place{       120, 3030, 10215,  645};
inline constexpr Placement kCheck1Place{       240,  270,  3255,  255};  // inside Frame2
inline constexpr Placement kPushButton1Place{ 5280, 2040,  5040,  405};
inline constexpr Placement kPushButton4Place{ 5280, 2550,  5040,  405};
inline constexpr Placement kPushButton6Place{  120, 2550,  5040,  405};
// clang-format on

/// Arial bold at these sizes: the window's and the buttons'.
inline constexpr double kDesignPoints = 9.0;
inline constexpr double kButtonPoints = 11.25;

}  // namespace form1_design

/// The list's tooltip.
// clang-format off
inline constexpr char kListToolTip[] = QT_TRANSLATE_NOOP("Trellisane",
    "Double-click item to remove it. Move | line to right and out of window to reveal full names.");
// clang-format on

/// The main window's controls by their design names, as Form1Layout made them.
struct Form1Controls {
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

/// Lays the main window out on `form`, the whole design and nothing else: the fixed size with a
/// single border (no resizing, no maximize button), fonts, white surfaces, every control at its
/// design place with its design name as object name, the list over `model`, the tab order
/// (list, Add, Start, selector, check box, Clear, Samples, Help), the list's tooltip and the
/// window centred on the primary screen. Wires no handler and sets no pointer rule. The
/// controls are children of `form`.
Form1Controls BuildForm1Layout(QWidget& form, QAbstractItemModel& model);

/// Widens the check box to its caption where the design width would cut it off (the font,
/// the indicator or the skin may come out wider than on the design's system); the frame has
/// room to the right. Call it once the skin is applied.
void FitCheckBoxCaption(QCheckBox& check);

}  // namespace trellisane
