#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>
#include <functional>

class QAbstractItemView;

namespace trellisane {

/// What a drop holds, split the way the window treats it.
struct DroppedItems {
    QStringList paths;     // local file: URLs as paths, whether folders or not (in drop order)
    QStringList notFiles;  // every other URL, as the person would read it
};

/// Splits dropped URLs: local `file:` URLs become cleaned paths, the rest are kept as text.
DroppedItems SplitDroppedUrls(const QList<QUrl>& urls);

/// Lets a list take drops of URLs (text/uri-list, as file managers drag) on its viewport and
/// hands each drop to `dropped`. Offers to copy, never to move, so no file manager deletes
/// what it dragged. Other drags are refused.
class FolderDrop : public QObject {
  public:
    /// Installs itself on `view` (which owns it).
    FolderDrop(QAbstractItemView& view, std::function<void(DroppedItems)> dropped);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<void(DroppedItems)> m_dropped;
};

}  // namespace trellisane
