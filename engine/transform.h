#pragma once

#include <QString>
#include <optional>

#include "operations.h"
#include "text_helpers.h"

namespace trellisane {

/// The folder name under `operation`, or std::nullopt for no-change (OpNone, or a required
/// answer empty). Pure; the result may be empty or hold characters a file system refuses.
/// O(len(name) * len(searched text)).
std::optional<QString> TransformName(const QString& name, Operation operation,
                                     const PromptAnswers& answers);

/// The row's new path: one trailing separator dropped, the name after the last separator
/// transformed, the parent part kept as it is, one separator appended. std::nullopt for
/// no-change. Pure. O(len(path)).
std::optional<QString> BuildNewPath(const QString& path, Operation operation,
                                    const PromptAnswers& answers, QChar separator = kPathSeparator);

}  // namespace trellisane
