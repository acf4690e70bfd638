#pragma once

#include <QString>

class QComboBox;

namespace trellisane {

/// The text the operation selector shows for one catalogue entry: its translation in the
/// person's language, or `englishText` itself (always so for the "-" separators).
QString SelectorEntryText(const QString& englishText);

/// The English source text of the selector's current entry, kept as its item data
/// (Qt::UserRole), so that MatchOperation finds the same operation whatever language the entry
/// is shown in. An entry added without item data gives its shown text.
QString SelectorSourceText(const QComboBox& selector);

/// Keeps the tooltip of `selector` on the help of the operation it shows (SelectorToolTip),
/// whenever its entry changes.
void FollowSelectorToolTip(QComboBox& selector);

}  // namespace trellisane
