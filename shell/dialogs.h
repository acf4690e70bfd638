#pragma once

#include <QString>
#include <QUrl>

namespace trellisane {

/// The icon a message box shows.
enum class DialogIcon { None, Exclamation, Question, Information };
/// The buttons a message box offers.
enum class DialogButtons { Ok, YesNo };
/// The button the person pressed.
enum class DialogAnswer { Ok, Yes, No };

/// Everything that asks the person something or hands something to the desktop goes through
/// this interface: the window gets the Qt implementation, tests a scripted one that answers and
/// records. Every call is modal and made on the user-interface thread.
class Dialogs {
  public:
    virtual ~Dialogs() = default;

    /// A modal message box; returns the button pressed (Ok for an OK-only box, also when the
    /// box is closed by other means; No when a Yes/No box is closed without an answer).
    virtual DialogAnswer ShowMessage(const QString& text, const QString& title, DialogIcon icon,
                                     DialogButtons buttons) = 0;

    /// A modal one-line prompt with OK and Cancel and an empty field. OK returns the typed
    /// text unchanged, Cancel returns "".
    virtual QString Prompt(const QString& text, const QString& title) = 0;

    /// A modal directories-only browse dialog showing `prompt`, opening at `initialFolder`
    /// when that names a folder. Returns the chosen folder's path without a trailing
    /// separator (the root as "/"), or "" when cancelled.
    virtual QString BrowseFolder(const QString& prompt, const QString& initialFolder) = 0;

    /// Hands `url` (a web address or a local path as a file URL) to the desktop's default
    /// handler; false when that could not be started. Never runs a shell command line.
    virtual bool OpenUrl(const QUrl& url) = 0;

    /// A modal save-file dialog titled `title`, opening at the file `suggested`, offering the
    /// files `filter` names (as "CSV files (*.csv)"). Returns the path chosen, or "" when
    /// cancelled. Dialogs that offer none keep this default, which answers as cancelled.
    virtual QString SaveFile(const QString& title, const QString& suggested,
                             const QString& filter) {
        Q_UNUSED(title)
        Q_UNUSED(suggested)
        Q_UNUSED(filter)
        return QString();
    }
};

}  // namespace trellisane
