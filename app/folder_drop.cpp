// Folders dropped on the folder list from a file manager.

#include "app/folder_drop.h"

#include <QAbstractItemView>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <utility>

namespace trellisane {

namespace {

/// Accepts a drag of URLs as a copy (or a link, when the source offers no copy).
bool AcceptUrls(QDropEvent& event) {
    if (event.mimeData() == nullptr || !event.mimeData()->hasUrls()) return false;
    const Qt::DropActions offered = event.possibleActions();
    if (offered.testFlag(Qt::CopyAction)) {
        event.setDropAction(Qt::CopyAction);
    } else if (offered.testFlag(Qt::LinkAction)) {
        event.setDropAction(Qt::LinkAction);
    } else {
        return false;
    }
    event.accept();
    return true;
}

}  // namespace

DroppedItems SplitDroppedUrls(const QList<QUrl>& urls) {
    DroppedItems items;
    for (const QUrl& url : urls) {
        const QString host = url.host();
        if (url.isLocalFile() && (host.isEmpty() || host == QLatin1String("localhost"))) {
            items.paths << QDir::cleanPath(url.toLocalFile());
        } else {
            items.notFiles << url.toDisplayString(QUrl::PreferLocalFile);
        }
    }
    return items;
}

FolderDrop::FolderDrop(QAbstractItemView& view, std::function<void(DroppedItems)> dropped)
    : QObject(&view), m_dropped(std::move(dropped)) {
    view.setAcceptDrops(true);
    view.viewport()->setAcceptDrops(true);
    view.viewport()->installEventFilter(this);
}

bool FolderDrop::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (!AcceptUrls(*drag)) drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!AcceptUrls(*drop)) {
                drop->ignore();
                return true;
            }
            // After the drop has been answered: the file manager is not kept waiting for the
            // add and its message.
            DroppedItems items = SplitDroppedUrls(drop->mimeData()->urls());
            QMetaObject::invokeMethod(
                this, [this, items = std::move(items)] { m_dropped(items); }, Qt::QueuedConnection);
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}

}  // namespace trellisane
