#include "app/cursor_file.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>  // completes TempTree's member for its destructor
#include <QtEndian>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>

#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

// A cursor's pixmap needs a QGuiApplication; the offscreen platform needs no display.
class GuiApplicationEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (QCoreApplication::instance() == nullptr) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
                qputenv("QT_QPA_PLATFORM", "offscreen");
            }
            m_app = std::make_unique<QGuiApplication>(m_argc, m_argv);
        }
    }
    void TearDown() override { m_app.reset(); }

  private:
    int m_argc = 1;
    char m_name[32] = "cursor_file_test";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QGuiApplication> m_app;
};

[[maybe_unused]] ::testing::Environment* const kGuiEnvironment =
    ::testing::AddGlobalTestEnvironment(new GuiApplicationEnvironment);

constexpr int kSide = 16;
const QColor kMarkColour(255, 0, 0);

void PutWord(QByteArray& bytes, quint16 value) {
    char raw[2];
    qToLittleEndian(value, raw);
    bytes.append(raw, 2);
}

void PutDoubleWord(QByteArray& bytes, quint32 value) {
    char raw[4];
    qToLittleEndian(value, raw);
    bytes.append(raw, 4);
}

/// A one-image 16x16 pointer file of the given directory type and hotspot: fully transparent
/// except for one opaque red pixel at the hotspot (when it lies on the image).
QByteArray CraftCursorFile(int hotX, int hotY, quint16 type = 2) {
    QByteArray image;
    PutDoubleWord(image, 40);         // BITMAPINFOHEADER size
    PutDoubleWord(image, kSide);      // width
    PutDoubleWord(image, kSide * 2);  // height: colour rows and mask rows together
    PutWord(image, 1);                // planes
    PutWord(image, 32);               // bits per pixel
    for (int i = 0; i < 6; ++i) {
        PutDoubleWord(image, 0);  // compression, image size, resolution, palette counts
    }
    for (int row = kSide - 1; row >= 0; --row) {  // bottom row first
        for (int x = 0; x < kSide; ++x) {
            const bool mark = x == hotX && row == hotY;
            image.append(mark ? QByteArray("\x00\x00\xff\xff", 4) : QByteArray(4, '\0'));
        }
    }
    for (int row = kSide - 1; row >= 0; --row) {  // AND mask: 1 where transparent
        quint16 bits = 0xffff;
        if (row == hotY && hotX >= 0 && hotX < kSide) {
            bits = static_cast<quint16>(bits & ~(0x8000u >> hotX));
        }
        image.append(char(bits >> 8)).append(char(bits & 0xff)).append(2, '\0');
    }

    QByteArray file;
    PutWord(file, 0);
    PutWord(file, type);
    PutWord(file, 1);
    file.append(char(kSide)).append(char(kSide)).append(2, '\0');
    PutWord(file, quint16(hotX));
    PutWord(file, quint16(hotY));
    PutDoubleWord(file, quint32(image.size()));
    PutDoubleWord(file, 22);
    return file + image;
}

QByteArray WithImageOffset(QByteArray file, quint32 offset) {
    qToLittleEndian(offset, file.data() + 18);
    return file;
}

struct CursorRow {
    const char* name;
    std::function<std::optional<QByteArray>()> content;  // std::nullopt: no file at all
    std::optional<QPoint> hotspot;                       // std::nullopt: expect no cursor
};

void PrintTo(const CursorRow& row, std::ostream* os) { *os << row.name; }

class LoadCursorFileTest : public testing::TempTree,
                           public ::testing::WithParamInterface<CursorRow> {};

TEST_P(LoadCursorFileTest, ReadsTheHotspotOrRefusesTheFile) {
    const CursorRow& row = GetParam();
    const QString path = PathOf("HAND-M.CUR");
    if (const std::optional<QByteArray> content = row.content()) {
        MakeFile("HAND-M.CUR", *content);
    }

    const std::optional<QCursor> cursor = LoadCursorFile(path);

    if (!row.hotspot) {
        EXPECT_FALSE(cursor.has_value());
        return;
    }
    ASSERT_TRUE(cursor.has_value());
    EXPECT_EQ(cursor->hotSpot(), *row.hotspot);
    const QImage image = cursor->pixmap().toImage();
    ASSERT_EQ(image.size(), QSize(kSide, kSide));
    // The image itself came through: the marked pixel sits exactly at the hotspot.
    EXPECT_EQ(image.pixelColor(*row.hotspot), kMarkColour);
    const QPoint elsewhere(row.hotspot->x() == 0 ? 1 : 0, 0);
    EXPECT_EQ(image.pixelColor(elsewhere).alpha(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadCursorFileTest,
    ::testing::Values(
        CursorRow{"HotspotInside", [] { return CraftCursorFile(7, 3); }, QPoint(7, 3)},
        CursorRow{"HotspotAtOrigin", [] { return CraftCursorFile(0, 0); }, QPoint(0, 0)},
        CursorRow{"HotspotAtLastPixel", [] { return CraftCursorFile(15, 15); }, QPoint(15, 15)},
        // A hotspot beyond the image: the header is damaged.
        CursorRow{"HotspotOffImage", [] { return CraftCursorFile(16, 2); }, std::nullopt},
        // An icon has no hotspot; its planes and bit count are not one.
        CursorRow{"IconNotPointer", [] { return CraftCursorFile(1, 32, 1); }, std::nullopt},
        CursorRow{"Missing", []() -> std::optional<QByteArray> { return std::nullopt; },
                  std::nullopt},
        CursorRow{"Empty", [] { return QByteArray(); }, std::nullopt},
        CursorRow{"DirectoryOnly", [] { return CraftCursorFile(7, 3).left(22); }, std::nullopt},
        // Cut in the middle of the pixel rows, as an interrupted copy leaves it.
        CursorRow{"TruncatedPixels", [] { return CraftCursorFile(7, 3).left(600); }, std::nullopt},
        // The entry claims its image starts inside the directory itself.
        CursorRow{"ImageInsideDirectory", [] { return WithImageOffset(CraftCursorFile(7, 3), 4); },
                  std::nullopt},
        CursorRow{"Text", [] { return QByteArray("not a pointer, just some text\n"); },
                  std::nullopt},
        // A sound directory in front of image bytes that are no bitmap.
        CursorRow{"GarbageImage",
                  [] {
                      QByteArray file = CraftCursorFile(7, 3);
                      file.replace(22, file.size() - 22, QByteArray(file.size() - 22, '\x5a'));
                      return file;
                  },
                  std::nullopt}),
    [](const ::testing::TestParamInfo<CursorRow>& test) { return test.param.name; });

// The pointer shipped beside the program must load, and click with the very tip of the
// index finger: the hotspot is an opaque pixel with nothing opaque above it.
TEST(ShippedHandCursor, ClicksWithTheFingertip) {
    const QString path = QCoreApplication::applicationDirPath() + "/HAND-M.CUR";
    if (!QFile::exists(path)) {
        GTEST_SKIP() << path.toStdString() << " is not built (build the data target)";
    }
    const std::optional<QCursor> cursor = LoadCursorFile(path);
    ASSERT_TRUE(cursor.has_value());
    const QImage image = cursor->pixmap().toImage();
    EXPECT_EQ(image.size(), QSize(32, 32));
    const QPoint hot = cursor->hotSpot();
    EXPECT_EQ(image.pixelColor(hot).alpha(), 255);
    for (int y = 0; y < hot.y(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            EXPECT_EQ(image.pixelColor(x, y).alpha(), 0)
                << "opaque above the tip at " << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace trellisane
