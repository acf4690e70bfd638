#include "app/qt_dialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "app/folder_browse_dialog.h"

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
    // Without a usable start folder the dialog opens at home, never at the working folder
    // (which is the program's own folder when it is started from its build).
    const QString start = !initialFolder.isEmpty() && QFileInfo(initialFolder).isDir()
                              ? initialFolder
                              : QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
    FolderBrowseDialog dialog(m_owner, prompt, start);
    if (dialog.exec() != QDialog::Accepted) return QString();
    return dialog.Chosen();
}

bool QtDialogs::OpenUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

QString QtDialogs::SaveFile(const QString& title, const QString& suggested, const QString& filter) {
    return QFileDialog::getSaveFileName(m_owner, title, suggested, filter);
}

}  // namespace trellisane
