#include "app/cursor_file.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QtEndian>

namespace trellisane {
namespace {

// A pointer file is a few kilobytes; anything far larger is not one, and is not read whole.
constexpr qint64 kMaxCursorFileBytes = 1 << 20;

// The file starts with ICONDIR (reserved, type, count: three 16-bit words), followed by one
// 16-byte ICONDIRENTRY per image. In a pointer file (type 2) the entry's two 16-bit words that
// an icon uses for planes and bit count hold the hotspot's x and y instead.
constexpr int kIconDirBytes = 6;
constexpr int kIconDirEntryBytes = 16;
constexpr quint16 kTypePointer = 2;

struct CursorHeader {
    int hotX = 0;
    int hotY = 0;
};

// Each reads through a view of exactly its bytes: GCC's bounds analysis (in the sanitizer
// build) cannot see the callers' size checks and would otherwise take the pointer for one into
// the one-byte storage of an empty array.
quint16 Word(const QByteArray& bytes, int at) {
    return qFromLittleEndian<quint16>(QByteArrayView(bytes).sliced(at, 2).data());
}

quint32 DoubleWord(const QByteArray& bytes, int at) {
    return qFromLittleEndian<quint32>(QByteArrayView(bytes).sliced(at, 4).data());
}

/// The first image's hotspot, when `bytes` starts with a pointer file's directory whose first
/// entry points at image data that lies wholly inside the file. std::nullopt otherwise (an
/// icon, a truncated file, anything else).
std::optional<CursorHeader> ParseCursorHeader(const QByteArray& bytes) {
    if (bytes.size() < kIconDirBytes + kIconDirEntryBytes) {
        return std::nullopt;
    }
    const quint16 reserved = Word(bytes, 0);
    const quint16 type = Word(bytes, 2);
    const quint16 count = Word(bytes, 4);
    if (reserved != 0 || type != kTypePointer || count == 0) {
        return std::nullopt;
    }
    const qint64 directoryEnd = kIconDirBytes + qint64{count} * kIconDirEntryBytes;
    const int entry = kIconDirBytes;
    const qint64 imageBytes = DoubleWord(bytes, entry + 8);
    const qint64 imageOffset = DoubleWord(bytes, entry + 12);
    if (imageBytes == 0 || imageOffset < directoryEnd || imageOffset + imageBytes > bytes.size()) {
        return std::nullopt;
    }
    return CursorHeader{Word(bytes, entry + 4), Word(bytes, entry + 6)};
}

}  // namespace

std::optional<QCursor> LoadCursorFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxCursorFileBytes) {
        return std::nullopt;
    }
    const QByteArray bytes = file.read(kMaxCursorFileBytes);
    file.close();

    const std::optional<CursorHeader> header = ParseCursorHeader(bytes);
    if (!header) {
        return std::nullopt;
    }
    // Qt's ico image plugin decodes the first image of a .cur; it ignores the hotspot, which
    // is why the header is read above.
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "cur");
    const QImage image = reader.read();
    if (image.isNull()) {
        return std::nullopt;
    }
    // A hotspot off the image is a damaged header: such a pointer could never click where it
    // shows, so the file is refused rather than trusted.
    if (header->hotX >= image.width() || header->hotY >= image.height()) {
        return std::nullopt;
    }
    return QCursor(QPixmap::fromImage(image), header->hotX, header->hotY);
}

}  // namespace trellisane
