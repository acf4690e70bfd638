#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "rename/naming_rules.h"

namespace trellisane {

/// What an overlay does to the rename of one folder.
struct OverlayVerdict {
    enum class Kind {
        Moves,    ///< nothing stands in the way (not an overlay, redirect_dir on, an upper folder)
        Fails,    ///< the folder comes from a lower layer: the kernel answers EXDEV
        MayFail,  ///< the layers cannot be seen, and without redirect_dir such a rename fails
    };
    Kind kind = Kind::Moves;
    QString reason;  ///< for Fails and MayFail: the sentence that says why
};

/// The layers of an overlay mount, from its super options: `lowerdir` (colon-separated, "\:"
/// escaping a colon), `upperdir`, and `redirect_dir` where given.
struct OverlayLayers {
    QStringList lower;
    QString upper;
    std::optional<QString> redirectDir;  ///< "on", "follow", "nofollow", "off"; nothing: default
};

/// The layers named in `superOptions`. Pure.
OverlayLayers ParseOverlayLayers(const QString& superOptions);

/// The verdict for renaming the folder at `relative` (below the overlay's root, no leading
/// separator) on an overlay with `layers`, where `moduleDefault` is the overlay module's
/// redirect_dir parameter ("Y", "N", "on", "off"...) and `lowerHolds` tells whether a lower
/// layer holds a folder at a path (1 yes, 0 no, -1 it cannot be told). Only redirect_dir=on
/// lets a folder of a lower layer move. Pure but for `lowerHolds`.
OverlayVerdict JudgeOverlayRename(const OverlayLayers& layers, const QString& moduleDefault,
                                  const QString& relative,
                                  const std::function<int(const QString& path)>& lowerHolds);

/// The verdict for renaming the folder at `folder` (no trailing separator), from its mount in
/// /proc/self/mountinfo, /sys/module/overlay/parameters/redirect_dir and the lower layers on
/// disk. Moves for anything that is not an overlay. A statx, a read of mountinfo, and on an
/// overlay a realpath and an lstat per lower layer.
OverlayVerdict OverlayRenameVerdict(const QString& folder);

}  // namespace trellisane
