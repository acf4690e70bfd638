// The window in every shipped language: each caption whole in its fixed-size control, the
// selector's entries still selecting their operations, and a font for every script.

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionButton>

#include "app/selector_texts.h"
#include "engine/operations.h"
#include "i18n/translations.h"
#include "tests/app/window_fixture.h"

namespace trellisane::testing {
namespace {

class TranslatedWindowTest : public WindowTest, public ::testing::WithParamInterface<const char*> {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        translations = std::make_unique<Translations>(QLocale(QString::fromLatin1(GetParam())));
    }
    void TearDown() override {
        WindowTest::TearDown();
        translations.reset();
    }

    /// The width a text needs in `widget`'s font.
    static int TextWidth(const QWidget& widget, const QString& text) {
        return QFontMetrics(widget.font()).horizontalAdvance(text);
    }

    std::unique_ptr<Translations> translations;
};

TEST_P(TranslatedWindowTest, EveryCaptionIsWholeInItsControl) {
    const bool english = QString::fromLatin1(GetParam()) == u"en";
    ASSERT_EQ(translations->Installed(), !english);
    Open();

    for (const char* name :
         {"PushButton1", "PushButton2", "PushButton3", "PushButton4", "PushButton6"}) {
        const QPushButton* button = Button(name);
        // The room the style leaves for a caption: the button's own size less its margins.
        QStyleOptionButton option;
        option.initFrom(button);
        const QSize frame =
            button->style()->sizeFromContents(QStyle::CT_PushButton, &option, QSize(0, 0), button);
        EXPECT_LE(TextWidth(*button, button->text()) + frame.width(), button->width())
            << name << ": " << button->text().toStdString();
    }

    const QCheckBox* check = Subfolders();
    EXPECT_LE(check->sizeHint().width(), check->width()) << check->text().toStdString();
    const auto* frame2 = Find<QGroupBox>("Frame2");
    EXPECT_LE(check->geometry().right(), frame2->contentsRect().right())
        << "the widened check box stays inside its frame";

    for (const char* name : {"Frame1", "Frame2"}) {
        const auto* frame = Find<QGroupBox>(name);
        EXPECT_LT(TextWidth(*frame, frame->title()), frame->width() / 2) << name;
    }

    const QHeaderView* header = List()->horizontalHeader();
    for (int column = 0; column < 2; ++column) {
        const QString title = List()->model()->headerData(column, Qt::Horizontal).toString();
        EXPECT_LE(QFontMetrics(header->font()).horizontalAdvance(title) + 16,
                  header->sectionSize(column))
            << title.toStdString();
    }

    // Every entry of the selector shows whole beside the drop-down arrow and, shown in any
    // language, selects the operation its English text names.
    QComboBox* selector = Selector();
    const int arrow = selector->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 16;
    const std::vector<CatalogueEntry>& catalogue = Catalogue();
    ASSERT_EQ(static_cast<size_t>(selector->count()), catalogue.size());
    for (int row = 0; row < selector->count(); ++row) {
        EXPECT_LE(TextWidth(*selector, selector->itemText(row)) + arrow, selector->width())
            << selector->itemText(row).toStdString();
        selector->setCurrentIndex(row);
        EXPECT_EQ(MatchOperation(SelectorSourceText(*selector)), catalogue[row].operation) << row;
        if (!english && catalogue[row].operation != Operation::OpNone) {
            EXPECT_NE(selector->itemText(row), catalogue[row].displayText) << "translated";
        }
    }
}

TEST_P(TranslatedWindowTest, ScriptHasAFont) {
    const QFontDatabase::WritingSystem script =
        QString::fromLatin1(GetParam()) == u"ja" ? QFontDatabase::Japanese : QFontDatabase::Latin;
    EXPECT_FALSE(QFontDatabase::families(script).isEmpty())
        << "no installed font writes " << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Languages, TranslatedWindowTest, ::testing::Values("en", "de", "ja"));

}  // namespace
}  // namespace trellisane::testing
