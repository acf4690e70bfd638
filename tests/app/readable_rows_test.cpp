// What the window shows beyond the paths themselves: long paths cut on the left with their
// whole text in a tooltip, New Name cells of an earlier pass in italics with the pass named,
// and the controls' tooltips. Driven through the real window, tooltips by real help events.

#include <QFont>
#include <QHelpEvent>
#include <QToolTip>

#include "tests/app/window_fixture.h"

namespace trellisane::testing {
namespace {

constexpr int kUpperCase = 0;
constexpr int kFirstSeparator = 4;
constexpr int kAddToBeginning = 5;
constexpr int kAddToEnd = 6;

class ReadableRowsTest : public WindowTest {
  protected:
    /// The tooltip that a help event at the centre of cell (`row`, `column`) brings up.
    QString ToolTipAt(int row, int column) {
        QToolTip::hideText();
        QWidget* viewport = List()->viewport();
        const QPoint at = List()->visualRect(List()->model()->index(row, column)).center();
        QHelpEvent event(QEvent::ToolTip, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &event);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }

    bool Italic(int row, int column) const {
        return List()->model()->index(row, column).data(Qt::FontRole).value<QFont>().italic();
    }
};

TEST_F(ReadableRowsTest, ALongPathIsCutOnTheLeftAndItsTooltipHoldsAllOfIt) {
    Open();
    const QString longName = QString(60, u'n') + "/the folder's own name";
    const QString shortPath = MakeFolder("s");
    const QString longPath = MakeFolder(longName);
    Add(PathOf("s"));
    Add(PathOf(longName));
    ASSERT_EQ(Currents(), QStringList({shortPath, longPath}));
    EXPECT_EQ(List()->textElideMode(), Qt::ElideLeft);  // the end, the folder's name, shows

    EXPECT_EQ(ToolTipAt(1, 0), longPath);
    EXPECT_EQ(ToolTipAt(1, 1), NewPaths().at(1));  // its UPPER CASE preview, just as long
    // A path that fits keeps the list's own tooltip.
    EXPECT_EQ(ToolTipAt(0, 0), QString::fromLatin1(kListToolTip));
}

/// One step of a session: pick a selector row, answering its prompt, then how row 0's New Name
/// cell looks.
struct PassStep {
    int pick;
    const char* answer;  // to the prompt, if the row asks one
    bool italic;         // the cell is drawn in italics
    const char* madeBy;  // within the cell's tooltip; "" when it must show the list's own
};

TEST_F(ReadableRowsTest, NewNamesOfAnEarlierPassAreItalicAndNameTheirPass) {
    Open();
    MakeFolder("abc");
    Add(PathOf("abc"));  // previewed as UPPER CASE: written by the latest pass
    const PassStep steps[] = {
        // A cancelled prompt leaves the upper-case names.
        {kAddToBeginning, "", true, "by \"Change case of folder(s) to UPPER CASE\". Start"},
        {kAddToEnd, "_old", false, ""},
        // A separator row writes nothing.
        {kFirstSeparator, "", true, "by \"Add x to end of each in folder(s)\" with x = \"_old\""},
        // The same operation with an empty answer: still the earlier answer's names.
        {kAddToEnd, "", true, "with x = \"_old\""},
        {kAddToEnd, "_new", false, ""},
        {kUpperCase, "", false, ""},
    };
    for (const PassStep& step : steps) {
        SCOPED_TRACE(step.pick);
        if (*step.answer) dialogs.promptAnswers = {step.answer};
        Pick(step.pick);
        dialogs.promptAnswers.clear();
        EXPECT_EQ(Italic(0, 1), step.italic);
        EXPECT_FALSE(Italic(0, 0));  // the current path is always plain
        const QString tip = ToolTipAt(0, 1);
        if (*step.madeBy) {
            EXPECT_TRUE(tip.contains(QString::fromUtf8(step.madeBy))) << tip.toStdString();
        } else {
            EXPECT_EQ(tip, QString::fromLatin1(kListToolTip));
        }
    }

    // A row added while the prompt is cancelled has no new name yet: plain; the older row keeps
    // its italics.
    Pick(kAddToEnd);
    MakeFolder("def");
    Add(PathOf("def"));
    ASSERT_EQ(NewPaths(), QStringList({PathOf("ABC/"), ""}));
    EXPECT_TRUE(Italic(0, 1));
    EXPECT_FALSE(Italic(1, 1));
}

TEST_F(ReadableRowsTest, TheSelectorsTooltipExplainsTheSelectedOperation) {
    Open();
    Subfolders()->setChecked(false);
    const std::pair<int, const char*> rows[] = {
        {kUpperCase, "\"Summer Trip\" becomes \"SUMMER TRIP\""},
        {kAddToEnd, "with x = \"_old\", \"Photos\" becomes \"Photos_old\".\nx is the text to add"},
        {kFirstSeparator, "changes no name"},
    };
    for (const auto& [pick, says] : rows) {
        Pick(pick);
        EXPECT_TRUE(Selector()->toolTip().contains(QString::fromUtf8(says)))
            << Selector()->toolTip().toStdString();
    }
    EXPECT_TRUE(Subfolders()->toolTip().contains("the picked folder itself too"));
}

}  // namespace
}  // namespace trellisane::testing
