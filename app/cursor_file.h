#pragma once

#include <QCursor>
#include <QString>
#include <optional>

namespace trellisane {

/// Loads a Windows pointer file (.cur) as a cursor whose hotspot is the one stored in the
/// file's header (Qt reads the image but not the hotspot). std::nullopt when the file is
/// missing or not a readable pointer file. Reads one small file.
std::optional<QCursor> LoadCursorFile(const QString& path);

}  // namespace trellisane
