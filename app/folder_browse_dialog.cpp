#include "app/folder_browse_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

namespace trellisane {

QString TypedFolder(const QString& typed, const QString& shownFolder) {
    if (typed.isEmpty()) return QString();
    QString path = typed;
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/"))) {
        path = QDir::homePath() + path.mid(1);
    }
    const QFileInfo info(QDir(shownFolder), path);
    if (!info.isDir()) return QString();
    // cleanPath drops a trailing separator and "." and ".." components but keeps the root "/".
    return QDir::cleanPath(info.absoluteFilePath());
}

FolderBrowseDialog::FolderBrowseDialog(QWidget* owner, const QString& prompt,
                                       const QString& startFolder)
    : QFileDialog(owner, prompt) {
    setOption(QFileDialog::DontUseNativeDialog, true);
    setFileMode(QFileDialog::Directory);
    setOption(QFileDialog::ShowDirsOnly, true);
    setAcceptMode(QFileDialog::AcceptOpen);
    setDirectory(startFolder);
}

void FolderBrowseDialog::accept() {
    // "fileNameEdit" is the object name Qt gives the field in its own (non-native) dialog.
    const auto* field = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const QString typed = field != nullptr ? field->text() : QString();
    const QString shown = directory().absolutePath();
    const QString chosen = typed.isEmpty() ? QDir::cleanPath(shown) : TypedFolder(typed, shown);
    if (chosen.isEmpty()) {
        QApplication::beep();  // no such folder: the person corrects the text or cancels
        return;
    }
    m_chosen = chosen;
    // Not QFileDialog::accept, which would answer from the list's selection again.
    QDialog::accept();  // NOLINT(bugprone-parent-virtual-call)
}

}  // namespace trellisane
