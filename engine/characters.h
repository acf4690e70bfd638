#pragma once

#include <QStringView>

/// Whole characters in UTF-16 text: a surrogate pair is one character and is never split.
namespace trellisane {

/// Length in code units of the character starting at `i` (0 <= i < text.size()): 2 for a
/// whole surrogate pair, 1 otherwise (a lone surrogate is a character of its own). O(1).
inline qsizetype CharLength(QStringView text, qsizetype i) {
    return text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
}

/// True when position `i` of `text` falls between the two halves of a surrogate pair; false at
/// either end. O(1).
inline bool SplitsPair(QStringView text, qsizetype i) {
    return i > 0 && i < text.size() && text[i - 1].isHighSurrogate() && text[i].isLowSurrogate();
}

}  // namespace trellisane
