#pragma once

#include <QChar>

namespace trellisane {

/// The platform's own path separator: '/' here, '\' on Windows.
#ifdef Q_OS_WIN
inline constexpr QChar kPathSeparator = u'\\';
#else
inline constexpr QChar kPathSeparator = u'/';
#endif

}  // namespace trellisane
