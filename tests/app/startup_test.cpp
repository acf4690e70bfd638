// Start-up helpers: the application title, the home-page draw and the display check.

#include "app/startup.h"

#include <gtest/gtest.h>

#include <QMap>
#include <set>

namespace trellisane {
namespace {

struct TitleRow {
    const char* name;
    QString product;
    QString title;
};

class ApplicationTitleTest : public ::testing::TestWithParam<TitleRow> {};

TEST_P(ApplicationTitleTest, CutsAtBlanks) {
    EXPECT_EQ(SetApplicationTitle(GetParam().product), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(
    Startup, ApplicationTitleTest,
    ::testing::Values(TitleRow{"NoBlankKeepsTheWholeName", "Trellisane", "Trellisane"},
                      // The cut is made at least once, however short the name.
                      TitleRow{"TwoWordsLoseTheLast", "Folder Renamer", "Folder"},
                      // Exactly 40 characters of several words still lose the last word.
                      TitleRow{"FortyCharacters", "Quorvane Bulk Folder Renaming Tool Suite",
                               "Quorvane Bulk Folder Renaming Tool"},
                      // 41 and more: words go from the end until at most 40 remain.
                      TitleRow{"LongNameLosesWordsUntilShort",
                               "Quorvane Bulk Folder Renaming Tool Suite Professional Edition",
                               "Quorvane Bulk Folder Renaming Tool Suite"},
                      // Once the blanks run out what is left stays, even when long.
                      TitleRow{"LongFirstWord",
                               "Averyveryveryveryveryveryveryverylongfirstword Tool",
                               "Averyveryveryveryveryveryveryverylongfirstword"},
                      TitleRow{"Empty", "", ""}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(HomePageDraw, FractionsMapOntoOneToHundred) {
    const QMap<double, int> expected = {{0.0, 1},  {0.0099, 1}, {0.06, 7},   {0.0699, 7},
                                        {0.07, 8}, {0.5, 51},   {0.99, 100}, {0.999999, 100}};
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        EXPECT_EQ(DrawFromFraction(it.key()), it.value()) << it.key();
    }
}

TEST(HomePageDraw, TimeOfDayDrawStaysInRange) {
    const DrawFn draw = MakeTimeOfDayDraw();
    std::set<int> seen;
    for (int i = 0; i < 5000; ++i) {
        const int value = draw();
        ASSERT_GE(value, 1);
        ASSERT_LE(value, 100);
        seen.insert(value);
    }
    EXPECT_GT(seen.size(), 90u);  // not stuck on a few values
}

struct DisplayRow {
    const char* name;
    QMap<QString, QString> env;
    bool missing;
};

class DisplayCheckTest : public ::testing::TestWithParam<DisplayRow> {};

TEST_P(DisplayCheckTest, TellsWhetherTheWindowCanOpen) {
    const auto env = GetParam().env;
    const std::optional<QString> reason = MissingDisplayReason(
        [&](const char* name) { return env.value(QString::fromLatin1(name)); });
    EXPECT_EQ(reason.has_value(), GetParam().missing);
    if (reason) {
        EXPECT_FALSE(reason->isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Startup, DisplayCheckTest,
    ::testing::Values(
        DisplayRow{"Nothing", {}, true}, DisplayRow{"X11", {{"DISPLAY", ":0"}}, false},
        DisplayRow{"Wayland", {{"WAYLAND_DISPLAY", "wayland-0"}}, false},
        DisplayRow{"Offscreen", {{"QT_QPA_PLATFORM", "offscreen"}}, false},
        DisplayRow{"XcbWithoutDisplay", {{"QT_QPA_PLATFORM", "xcb"}}, true},
        DisplayRow{
            "WaylandWithoutDisplay", {{"QT_QPA_PLATFORM", "wayland"}, {"DISPLAY", ":0"}}, true},
        // Qt tries the platforms in turn.
        DisplayRow{
            "WaylandThenXcb", {{"QT_QPA_PLATFORM", "wayland;xcb"}, {"DISPLAY", ":0"}}, false}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace trellisane
