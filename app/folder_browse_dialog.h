#pragma once

#include <QFileDialog>
#include <QString>

namespace trellisane {

/// The folder that the text of the browse dialog's "Directory:" field names, read as a person
/// means it: an absolute path as it stands, "~" and "~/..." below the home folder, anything
/// else relative to `shownFolder` (the folder the dialog shows). Returns that folder's cleaned
/// absolute path (no trailing separator, the root as "/"), or "" when the text is empty or
/// names no folder (a file, nothing at all). Never falls back to a parent or to `shownFolder`.
/// One stat of the file system.
QString TypedFolder(const QString& typed, const QString& shownFolder);

/// Qt's own directories-only file dialog (never the desktop's native one), made to choose what
/// the person typed or picked. Qt's dialog answers from its list's selection before the typed
/// text, and that selection can still hold a folder its completion passed on the way (typing
/// ".../b" on the way to ".../big" selects ".../b"). This one reads the "Directory:" field
/// instead: its text is the folder typed, or the name of the folder picked in the list. An empty
/// field chooses the folder shown; a text that names no folder keeps the dialog open.
class FolderBrowseDialog : public QFileDialog {
    Q_OBJECT
  public:
    /// A modal-ready dialog over `owner` (may be null) titled `prompt`, showing `startFolder`.
    FolderBrowseDialog(QWidget* owner, const QString& prompt, const QString& startFolder);

    /// After an accepted exec(): the chosen folder's cleaned absolute path; "" before that.
    QString Chosen() const { return m_chosen; }

    /// Chooses the folder the field names and closes; see the class comment.
    void accept() override;

  private:
    QString m_chosen;
};

}  // namespace trellisane
