#pragma once

#include <QString>

namespace trellisane {

/// The key under which the browse dialog's start folder is kept.
inline constexpr char kLastFolderKey[] = "LastFolder";

/// The per-user text stored under "Quorvane", "Trellisane" and `key`, or `defaultValue` when
/// there is none. Read afresh on every call (no cache), never written. Values kept under
/// another maker or product name, or in organisation-wide and machine-wide files, are not
/// seen. A stored value that is not text (a list, say) counts as absent. Reads one small file.
QString GetSetting(const QString& key, const QString& defaultValue);

}  // namespace trellisane
