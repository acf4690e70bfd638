#pragma once

#include <QColor>
#include <QString>
#include <optional>

class QWidget;

namespace trellisane {

/// The skin file beside the program: `programFolder` + "/x/o.cjs".
QString SkinFilePath(const QString& programFolder);

/// The button-face colour: the Button role of the application style's own palette.
QColor ButtonFaceColour();

/// Gives `widget` the background colour `colour` (its Window role); a window fills with it.
void SetBackgroundColour(QWidget& widget, const QColor& colour);

/// Skins `window` when the skin file is a plain file: the window and every frame, check box,
/// radio button and label in it take the button-face colour, then the file is read as a Qt
/// style sheet and applied to the window. With no such file nothing changes. Returns the
/// failure's description when the file is there but cannot be read (the colours have changed
/// all the same), else nothing. Reads one small file.
std::optional<QString> ApplyStartupSkin(QWidget& window, const QString& programFolder);

}  // namespace trellisane
