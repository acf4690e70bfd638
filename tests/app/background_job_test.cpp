// The background job on its own: what the next kind of background work relies on.

#include "control/background_job.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <atomic>
#include <memory>
#include <vector>

#include "tests/app/window_fixture.h"

namespace trellisane::testing {
namespace {

TEST(BackgroundJob, AsksOnTheWindowThreadAndReportsProgressInOrderBeforeFinishing) {
    auto answers = std::make_shared<std::vector<int>>();
    BackgroundJob job([answers](JobContext& context) {
        for (int step = 1; step <= 3; ++step) {
            context.Progress(step, 3);
            answers->push_back(context.Ask<int>([step] { return step * 10; }, -1));
        }
    });
    std::vector<qint64> progress;
    std::vector<bool> askedOnWindowThread;
    int finished = 0;
    QObject::connect(&job, &BackgroundJob::progressed, [&](qint64 done, qint64) {
        progress.push_back(done);
        askedOnWindowThread.push_back(QThread::currentThread() == qApp->thread());
    });
    QObject::connect(&job, &BackgroundJob::finished, [&] { ++finished; });
    ASSERT_TRUE(job.Start());
    ASSERT_TRUE(WaitUntil([&] { return finished > 0; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(*answers, (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(progress, (std::vector<qint64>{1, 2, 3}));
    EXPECT_EQ(askedOnWindowThread, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(finished, 1);
}

TEST(BackgroundJob, ACancelledJobGetsTheCancelledAnswerWithoutAsking) {
    std::atomic<bool> cancelSeen{false};
    auto answer = std::make_shared<std::atomic<int>>(0);
    bool asked = false;
    BackgroundJob job([&, answer](JobContext& context) {
        while (!context.Cancelled()) QThread::msleep(1);
        cancelSeen = true;
        *answer = context.Ask<int>(
            [&] {
                asked = true;
                return 1;
            },
            -1);
    });
    ASSERT_TRUE(job.Start());
    job.Cancel();
    EXPECT_TRUE(job.Stop(QDeadlineTimer(QDeadlineTimer::Forever)));
    QCoreApplication::processEvents();
    EXPECT_TRUE(cancelSeen);
    EXPECT_EQ(answer->load(), -1);
    EXPECT_FALSE(asked);
}

}  // namespace
}  // namespace trellisane::testing
