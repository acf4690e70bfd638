#include "app/skin.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QRadioButton>
#include <QStyle>
#include <QWidget>

#include "shell/texts.h"

namespace trellisane {

QString SkinFilePath(const QString& programFolder) {
    return programFolder + QStringLiteral("/x/o.cjs");
}

QColor ButtonFaceColour() {
    return QApplication::style()->standardPalette().color(QPalette::Active, QPalette::Button);
}

void SetBackgroundColour(QWidget& widget, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
    // Controls let their container's matching background show through, which keeps the
    // style's own frame shading intact; only a window paints its own.
    widget.setAutoFillBackground(widget.isWindow());
}

std::optional<QString> ApplyStartupSkin(QWidget& window, const QString& programFolder) {
    const QString path = SkinFilePath(programFolder);
    const QFileInfo info(path);
    // Only a plain file counts; a folder of that name, or a hidden entry, is not a skin.
    if (!info.isFile() || info.isHidden()) return std::nullopt;

    const QColor buttonFace = ButtonFaceColour();
    SetBackgroundColour(window, buttonFace);
    const QList<QWidget*> controls = window.findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (qobject_cast<QGroupBox*>(control) != nullptr ||
            qobject_cast<QCheckBox*>(control) != nullptr ||
            qobject_cast<QRadioButton*>(control) != nullptr ||
            qobject_cast<QLabel*>(control) != nullptr) {
            SetBackgroundColour(*control, buttonFace);
        }
    }

    QFile file(path);
    const bool opened = file.open(QIODevice::ReadOnly);
    const QByteArray sheet = opened ? file.readAll() : QByteArray();
    if (!opened || file.error() != QFileDevice::NoError) {
        return Trellisane::tr("The skin file %1 could not be read: %2")
            .arg(path, file.errorString());
    }
    window.setStyleSheet(QString::fromUtf8(sheet));
    return std::nullopt;
}

}  // namespace trellisane
