#include "app/qt_dialogs.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace trellisane {

namespace {

QMessageBox::Icon ToQt(DialogIcon icon) {
    switch (icon) {
        case DialogIcon::Exclamation:
            return QMessageBox::Warning;
        case DialogIcon::Question:
            return QMessageBox::Question;
        case DialogIcon::Information:
            return QMessageBox::Information;
        case DialogIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

/// Qt's file dialog saves its own history and layout into the user's settings folder when it
/// closes. This program keeps nothing from one run to the next, so while the dialog lives,
/// user-scope settings point into a throwaway folder that goes with it.
class ThrowawayUserSettings {
  public:
    ThrowawayUserSettings() {
        if (m_folder.isValid()) SetUserPath(m_folder.path());
    }
    ~ThrowawayUserSettings() {
        if (m_folder.isValid()) {
            SetUserPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
        }
    }
    ThrowawayUserSettings(const ThrowawayUserSettings&) = delete;
    ThrowawayUserSettings& operator=(const ThrowawayUserSettings&) = delete;

  private:
    static void SetUserPath(const QString& path) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, path);
    }
    QTemporaryDir m_folder;
};

}  // namespace

DialogAnswer QtDialogs::ShowMessage(const QString& text, const QString& title, DialogIcon icon,
                                    DialogButtons buttons) {
    const bool yesNo = buttons == DialogButtons::YesNo;
    QMessageBox box(ToQt(icon), title, text,
                    yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, m_owner);
    box.setTextFormat(Qt::PlainText);
    if (yesNo) {
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    }
    const int pressed = box.exec();
    if (!yesNo) return DialogAnswer::Ok;
    return pressed == QMessageBox::Yes ? DialogAnswer::Yes : DialogAnswer::No;
}

QString QtDialogs::Prompt(const QString& text, const QString& title) {
    QInputDialog dialog(m_owner);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title);
    dialog.setLabelText(text);
    dialog.setTextValue(QString());
    if (dialog.exec() != QDialog::Accepted) return QString();
    return dialog.textValue();
}

QString QtDialogs::BrowseFolder(const QString& prompt, const QString& initialFolder) {
    const ThrowawayUserSettings throwaway;  // outlives the dialog, which saves on destruction
    QFileDialog dialog(m_owner, prompt);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!initialFolder.isEmpty() && QFileInfo(initialFolder).isDir()) {
        dialog.setDirectory(initialFolder);
    }
    if (dialog.exec() != QDialog::Accepted) return QString();
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return QString();
    // cleanPath drops a trailing separator but keeps the root as "/".
    return QDir::cleanPath(chosen.first());
}

bool QtDialogs::OpenUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

}  // namespace trellisane
