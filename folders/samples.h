#pragma once

#include <QString>
#include <QStringList>

namespace trellisane {

/// The samples path: `programFolder` (without trailing separator), "/Samples/".
QString SamplesPath(const QString& programFolder);

/// The immediate sub-folders of `samplesPath` as row paths (samples path, name, separator),
/// names in binary order. Throws TrappedError with the platform's description when the
/// folder cannot be opened or listed.
QStringList ListSampleFolders(const QString& samplesPath);

}  // namespace trellisane
