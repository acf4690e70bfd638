#pragma once

#include <QPointer>
#include <QWidget>

#include "shell/dialogs.h"

namespace trellisane {

/// The dialogs a person sees: QMessageBox, QInputDialog, a directories-only QFileDialog and
/// QDesktopServices. Every call is modal over the owner window (none until SetOwner). The browse
/// dialog is Qt's own (FolderBrowseDialog): it returns the folder typed or picked, and opens at
/// the home folder when the initial folder is empty or names no folder.
class QtDialogs : public Dialogs {
  public:
    /// The window the dialogs are modal over; may be null. Not owned.
    void SetOwner(QWidget* owner) { m_owner = owner; }

    DialogAnswer ShowMessage(const QString& text, const QString& title, DialogIcon icon,
                             DialogButtons buttons) override;
    QString Prompt(const QString& text, const QString& title) override;
    QString BrowseFolder(const QString& prompt, const QString& initialFolder) override;
    bool OpenUrl(const QUrl& url) override;
    QString SaveFile(const QString& title, const QString& suggested,
                     const QString& filter) override;

  private:
    QPointer<QWidget> m_owner;
};

}  // namespace trellisane
