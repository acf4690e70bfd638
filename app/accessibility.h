#pragma once

#include <QString>

#include "app/folder_list_model.h"
#include "app/form1_layout.h"

namespace trellisane {

/// Gives every control of the main window an accessible name and, where its caption does not
/// say what it does, an accessible description, in the person's language; keeps each control
/// reachable by Tab with its focus drawn. Call once, after BuildForm1Layout. Cheap.
void DescribeForm1Controls(const Form1Controls& controls);

/// A cell's mark as words, for screen readers (Qt::AccessibleDescriptionRole): what the icon,
/// colour or italics say, followed by the cell's tooltip sentences. Empty for an unmarked cell
/// without a tooltip.
QString MarkDescription(const CellLook& look);

}  // namespace trellisane
