// "Load Sample/Example Folders".

#include <QDir>
#include <QSet>
#include <QUrl>

#include "app/handler_lines.h"
#include "engine/transform.h"
#include "tests/app/window_fixture.h"

namespace trellisane::testing {
namespace {

using Kind = DialogCall::Kind;

const QString kQuestion = QStringLiteral(
    "Would you like this software to open the folder where these sample files are stored (so "
    "that you can view them before working with them)?");
constexpr int kRemoveNumeric = 14;

class SamplesTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        MakeFolder("program/Samples/Trip 2019");
        MakeFolder("program/Samples/B4 and after/inner 7");  // only the top level counts
        MakeFolder("program/Samples/a1");
        MakeFile("program/Samples/notes 1.txt");  // files are not samples
        Open();
    }

    QString Sample(const QString& name) const { return PathOf("program/Samples/" + name + "/"); }

    /// The samples' rows in binary order of their names.
    QStringList SampleRows() const {
        return {Sample("B4 and after"), Sample("Trip 2019"), Sample("a1")};
    }
};

TEST_F(SamplesTest, AppendsTheSamplesSelectsRemoveNumericAndAsks) {
    Click("PushButton4");
    EXPECT_EQ(Currents(), SampleRows());
    EXPECT_EQ(Selector()->currentIndex(), kRemoveNumeric);
    EXPECT_EQ(Selector()->currentText(), "Remove numeric character(s) in folder(s)");
    EXPECT_EQ(NewPaths(), QStringList({Sample("B and after"), Sample("Trip "), Sample("a")}));
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].text, kQuestion);
    EXPECT_EQ(dialogs.calls[0].title, "Trellisane");
    EXPECT_EQ(dialogs.calls[0].icon, DialogIcon::None);
    EXPECT_EQ(dialogs.calls[0].buttons, DialogButtons::YesNo);
}

TEST_F(SamplesTest, YesOpensTheSamplesFolder) {
    dialogs.yesNoAnswers = {DialogAnswer::Yes};
    Click("PushButton4");
    EXPECT_EQ(dialogs.Texts(Kind::OpenUrl),
              QStringList{QUrl::fromLocalFile(PathOf("program/Samples/")).toString()});
}

TEST_F(SamplesTest, LoadingTwiceListsEverySampleTwice) {
    Click("PushButton4");
    Click("PushButton4");
    EXPECT_EQ(Currents(), SampleRows() + SampleRows());
    EXPECT_TRUE(dialogs.Texts(Kind::OpenUrl).isEmpty());  // answered No
}

TEST_F(SamplesTest, LoadingIntoAListKeepsItsRowsFirst) {
    MakeFolder("mine9");
    Add(PathOf("mine9"));  // previewed as "MINE9"
    Click("PushButton4");
    EXPECT_EQ(Currents(), QStringList{PathOf("mine9/")} + SampleRows());
    // Whatever was shown before, every row ends previewed for "Remove numeric".
    EXPECT_EQ(NewPaths().first(), PathOf("mine/"));
}

TEST_F(WindowTest, MissingSamplesAreReportedStepByStepAndTheRestStillRuns) {
    Open();
    Selector()->setCurrentIndex(6);  // "Add x to end": not what the samples select
    Click("PushButton4");
    const QStringList messages = dialogs.Messages();
    ASSERT_EQ(messages.size(), 4) << messages.join("\n|").toStdString();
    EXPECT_EQ(messages[0], Report("No such file or directory",
                                  "in Dorvalin2021/08/31.Form1.PushButton4_Click ", 102));
    EXPECT_EQ(messages[1], Report("No such file or directory",
                                  "in Dorvalin2021/08/31.Form1.PushButton4_Click ", 104));
    EXPECT_TRUE(messages[2].contains(
        QString::fromLatin1("in Dorvalin2021/08/31.Form1.PushButton4_Click ") + "at line 106"));
    EXPECT_EQ(messages[3], kQuestion);
    EXPECT_EQ(form->List().Count(), 0);
    EXPECT_EQ(Selector()->currentIndex(), kRemoveNumeric);
    EXPECT_TRUE(Button("PushButton2")->isEnabled());
}

TEST_F(WindowTest, AnEmptySamplesFolderAddsNothingButStillAsks) {
    MakeFolder("program/Samples");
    Open();
    Click("PushButton4");
    EXPECT_EQ(form->List().Count(), 0);
    EXPECT_EQ(dialogs.Messages(), QStringList{kQuestion});
    EXPECT_EQ(Selector()->currentIndex(), kRemoveNumeric);
}

// The shipped samples are the first thing a person renames: what "Remove numeric" makes of
// them must read as clean names (no doubled, leading or trailing blank, no word that is only
// punctuation or starts or ends with it), all different, with mixed case and a folder inside
// one of them still there to try the other operations on.
TEST(ShippedSamples, RemoveNumericLeavesCleanDistinctNames) {
    const QDir samples(QStringLiteral(TRELLISANE_SOURCE_DIR "/data/Samples"));
    const QStringList names = samples.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_GE(names.size(), 5);
    QSet<QString> results;
    bool mixedCase = false;
    bool nested = false;
    for (const QString& name : names) {
        const QString result = TransformName(name, Operation::OpRemoveNumeric, {}).value_or(name);
        SCOPED_TRACE(result.toStdString());
        EXPECT_NE(result, name);  // every sample shows the operation at work
        EXPECT_FALSE(result.contains(u"  "));
        EXPECT_EQ(result, result.trimmed());
        for (const QString& word : result.split(u' ')) {
            if (word == u"&") continue;
            EXPECT_TRUE(word.front().isLetter() || word.front() == u'(');
            EXPECT_TRUE(word.back().isLetter() || word.back() == u')');
        }
        results.insert(result);
        mixedCase = mixedCase || (name != name.toLower() && name != name.toUpper());
        nested =
            nested ||
            !QDir(samples.filePath(name)).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty();
    }
    EXPECT_EQ(results.size(), names.size());
    EXPECT_TRUE(mixedCase);
    EXPECT_TRUE(nested);
}

}  // namespace
}  // namespace trellisane::testing
