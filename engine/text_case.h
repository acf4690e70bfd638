#pragma once

#include <QString>

namespace trellisane {

// All four map each character (a whole code point: a surrogate pair is never split) by itself,
// so the result has exactly as many UTF-16 code units as the input. A character whose case
// mapping is not one code point to one code point (such as 'ß' to "SS") stays as it is.
// "" gives "". O(n).

/// Every character in upper case.
QString UpperCase(const QString& text);
/// Every character in lower case.
QString LowerCase(const QString& text);
/// Lower case, then the first character and every character after a blank, tab or CR upper-cased.
QString ProperCase(const QString& text);
/// First character upper-cased, all the rest lower-cased.
QString SentenceCase(const QString& text);

}  // namespace trellisane
