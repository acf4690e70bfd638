#pragma once

#include <QString>

#include "operations.h"

namespace trellisane {

/// A few plain sentences for a person choosing `operation`: what it does to each folder's
/// name, one example worked out by the operation itself (so it is always true), and what x and
/// y (or the texts to find and to put in place) are, for the operations that ask for them.
/// OpNone (a separator row) says that it changes no name. Pure; O(1).
QString OperationHelp(Operation operation);

/// The operation and the answers that made a new name, as one line for a tooltip: the
/// operation's display text and, for each prompt it asks, its field's name and the answer in
/// double quotes ("x = "_old""). OpNone gives "".
QString DescribePass(Operation operation, const PromptAnswers& answers);

}  // namespace trellisane
