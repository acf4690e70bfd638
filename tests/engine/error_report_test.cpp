#include "engine/error_report.h"

#include <gtest/gtest.h>

#include <QString>
#include <stdexcept>

#include "tests/support/scripted_dialogs.h"

namespace trellisane {
namespace {

using namespace Qt::StringLiterals;

TEST(ErrorReport, TextIsJoinedExactly) {
    EXPECT_EQ(
        ErrorReportText(u"Path not found"_s, u"in Dorvalin2021/08/31.Form1.Form_Load "_s, 126),
        u"Path not found\r\nin Dorvalin2021/08/31.Form1.Form_Load at line 126\r\r"
        u"Please email screenshot of this message to support@quorvane.com"_s);
}

TEST(ErrorReport, ShownAsExclamationBoxWithOkOnly) {
    testing::ScriptedDialogs dialogs;
    ShowErrorReport(dialogs, u"Bad"_s, u"in X "_s, 100);
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].title, u"Application Error"_s);
    EXPECT_EQ(dialogs.calls[0].icon, DialogIcon::Exclamation);
    EXPECT_EQ(dialogs.calls[0].buttons, DialogButtons::Ok);
    EXPECT_EQ(dialogs.calls[0].text, ErrorReportText(u"Bad"_s, u"in X "_s, 100));
}

TEST(ErrorTrap, ReportsEachFailureAtItsLineAndGoesOn) {
    testing::ScriptedDialogs dialogs;
    ErrorTrap trap(dialogs, u"in P "_s);
    QStringList ran;
    EXPECT_TRUE(trap.Step(100, [&] { ran << u"100"_s; }));
    EXPECT_FALSE(trap.Step(102, [] { throw TrappedError(u"Disk gone"_s); }));
    EXPECT_FALSE(trap.Step(104, [] { throw std::runtime_error("Ünïcode what"); }));
    EXPECT_FALSE(trap.Step(106, [] { throw 42; }));
    // A statement that numbers lines of its own is reported at the last one reached.
    EXPECT_FALSE(trap.Step(108, [&] {
        trap.Reach(110);
        throw TrappedError(u"late"_s);
    }));
    EXPECT_TRUE(trap.Step(112, [&] { ran << u"112"_s; }));
    trap.Reach(114);
    trap.Fail(u"by hand"_s);
    // A failure given back as a value is reported as it stands; success reports nothing.
    EXPECT_FALSE(trap.Check(116, [] { return std::optional<QString>(u"Not a directory"_s); }));
    EXPECT_TRUE(trap.Check(118, [] { return std::optional<QString>(); }));

    EXPECT_EQ(ran, (QStringList{u"100"_s, u"112"_s}));
    EXPECT_EQ(dialogs.Messages(),
              (QStringList{ErrorReportText(u"Disk gone"_s, u"in P "_s, 102),
                           ErrorReportText(u"Ünïcode what"_s, u"in P "_s, 104),
                           ErrorReportText(u"Unknown error"_s, u"in P "_s, 106),
                           ErrorReportText(u"late"_s, u"in P "_s, 110),
                           ErrorReportText(u"by hand"_s, u"in P "_s, 114),
                           ErrorReportText(u"Not a directory"_s, u"in P "_s, 116)}));
}

TEST(ErrorTrap, WithoutAReportFunctionEveryFailureReachesTheCaller) {
    ErrorTrap trap{ReportFn()};
    EXPECT_THROW(trap.Step(100, [] { throw std::runtime_error("thrown"); }), std::runtime_error);
    try {
        trap.Check(102, [] { return std::optional<QString>(u"as a value"_s); });
        ADD_FAILURE() << "no throw";
    } catch (const TrappedError& error) {
        EXPECT_EQ(error.description(), u"as a value"_s);
    }
    EXPECT_EQ(trap.line(), 102);
}

}  // namespace
}  // namespace trellisane
