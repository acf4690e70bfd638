#include "engine/text_case.h"

#include "engine/characters.h"

namespace trellisane {

namespace {

/// Which way one character is mapped.
enum class CaseDirection { Upper, Lower };

/// The simple (one code point to one code point) mapping of `code`. The full mappings that
/// turn one character into several ('ß' to "SS") are never used; a mapping that would change
/// the number of UTF-16 code units keeps the original, so every position stays where it was.
char32_t MapCodePoint(char32_t code, CaseDirection direction) {
    // Qt leaves a character alone wherever Unicode also lists a longer special mapping, even
    // though a one-to-one mapping exists; these are the characters where that happens.
    if (direction == CaseDirection::Lower && code == 0x0130) return u'i';  // İ
    if (direction == CaseDirection::Upper) {
        // Greek letters with ypogegrammeni: ᾀ-ᾇ, ᾐ-ᾗ, ᾠ-ᾧ map eight places up; ᾳ, ῃ, ῳ by nine.
        if ((code >= 0x1F80 && code <= 0x1F87) || (code >= 0x1F90 && code <= 0x1F97) ||
            (code >= 0x1FA0 && code <= 0x1FA7)) {
            return code + 8;
        }
        if (code == 0x1FB3 || code == 0x1FC3 || code == 0x1FF3) return code + 9;
    }
    const char32_t mapped =
        direction == CaseDirection::Upper ? QChar::toUpper(code) : QChar::toLower(code);
    if (QChar::requiresSurrogates(mapped) != QChar::requiresSurrogates(code)) return code;
    return mapped;
}

/// Maps the character at `i` in place and returns its length in code units. A lone surrogate
/// is left as it is.
qsizetype MapAt(QChar* data, qsizetype size, qsizetype i, CaseDirection direction) {
    const qsizetype length = CharLength(QStringView(data, size), i);
    if (length == 2) {
        const char32_t mapped =
            MapCodePoint(QChar::surrogateToUcs4(data[i], data[i + 1]), direction);
        data[i] = QChar(QChar::highSurrogate(mapped));
        data[i + 1] = QChar(QChar::lowSurrogate(mapped));
    } else if (!data[i].isSurrogate()) {
        data[i] = QChar(static_cast<char16_t>(MapCodePoint(data[i].unicode(), direction)));
    }
    return length;
}

/// Maps every character from code unit `from` on, in place.
void MapFrom(QString& text, qsizetype from, CaseDirection direction) {
    QChar* data = text.data();
    const qsizetype size = text.size();
    for (qsizetype i = from; i < size;) i += MapAt(data, size, i, direction);
}

}  // namespace

QString UpperCase(const QString& text) {
    QString result = text;
    MapFrom(result, 0, CaseDirection::Upper);
    return result;
}

QString LowerCase(const QString& text) {
    QString result = text;
    MapFrom(result, 0, CaseDirection::Lower);
    return result;
}

QString ProperCase(const QString& text) {
    QString result = LowerCase(text);
    QChar* data = result.data();
    const qsizetype size = result.size();
    bool capitalise = true;
    for (qsizetype i = 0; i < size;) {
        const QChar original = data[i];
        const qsizetype length = capitalise ? MapAt(data, size, i, CaseDirection::Upper)
                                            : CharLength(QStringView(data, size), i);
        // Only blank, tab and CR start a new word; a line feed, hyphen or apostrophe does not.
        capitalise = length == 1 && (original == u' ' || original == u'\t' || original == u'\r');
        i += length;
    }
    return result;
}

QString SentenceCase(const QString& text) {
    QString result = text;
    if (result.isEmpty()) return result;
    const qsizetype first = MapAt(result.data(), result.size(), 0, CaseDirection::Upper);
    MapFrom(result, first, CaseDirection::Lower);
    return result;
}

}  // namespace trellisane
