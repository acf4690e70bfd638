// The progress counter of --apply, on a fake clock and a fake terminal.

#include "cli/progress_counter.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QByteArrayList>
#include <string>
#include <vector>

namespace trellisane {
namespace {

/// One event: at `atMs`, row `position` starts (or, with position 0, a failure line comes and
/// the counter is erased first).
struct Event {
    qint64 atMs;
    qsizetype position;
};

struct CounterCase {
    const char* name;
    bool enabled;
    std::vector<Event> events;
    const char* written;  ///< everything written, "|" between writes
};

void PrintTo(const CounterCase& c, std::ostream* out) { *out << c.name; }

class ProgressCounterTest : public ::testing::TestWithParam<CounterCase> {};

TEST_P(ProgressCounterTest, WritesTheLineAtMostTenTimesASecondAndNeverMixesLines) {
    const CounterCase& c = GetParam();
    qint64 now = 0;
    QByteArrayList writes;
    ProgressCounter counter(
        c.enabled, [&](const QByteArray& bytes) { writes.push_back(bytes); }, [&] { return now; });
    for (const Event& event : c.events) {
        now = event.atMs;
        if (event.position == 0) {
            counter.Erase();
            writes.push_back("FAILURE\n");  // what the caller writes next
        } else {
            counter.Update(event.position, 9);
        }
    }
    counter.Erase();
    EXPECT_EQ(writes.join('|'), QByteArray(c.written));
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ProgressCounterTest,
    ::testing::Values(
        CounterCase{"Disabled", false, {{0, 1}, {500, 2}, {600, 0}, {900, 3}}, "FAILURE\n"},
        CounterCase{"FirstRowDrawnAtOnceThenThrottled",
                    true,
                    {{0, 1}, {40, 2}, {99, 3}, {100, 4}, {150, 5}, {230, 6}},
                    "\rRenaming folder 1 of 9\x1b[K|\rRenaming folder 4 of 9\x1b[K|"
                    "\rRenaming folder 6 of 9\x1b[K|\r\x1b[K"},
        CounterCase{"ErasedBeforeAFailureLineAndRedrawnOnlyWhenDue",
                    true,
                    {{0, 1}, {10, 0}, {20, 2}, {120, 3}},
                    "\rRenaming folder 1 of 9\x1b[K|\r\x1b[K|FAILURE\n|"
                    "\rRenaming folder 3 of 9\x1b[K|\r\x1b[K"},
        CounterCase{"NothingToEraseWhenNotShowing", true, {{0, 0}, {5, 0}}, "FAILURE\n|FAILURE\n"}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace trellisane
