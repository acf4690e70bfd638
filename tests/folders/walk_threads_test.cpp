// The walk on a thread of its own, cancelled from another: what the window's add does, without
// Qt's threads in between, so ThreadSanitizer sees every hand-over (ctest -L threads).

#include <gtest/gtest.h>

#include <QTemporaryDir>  // completes TempTree's member for the fixtures made here
#include <atomic>
#include <thread>

#include "folders/subfolder_walk.h"
#include "tests/support/temp_tree.h"

namespace trellisane {
namespace {

using WalkThreads = testing::TempTree;

TEST_F(WalkThreads, ACancelFromAnotherThreadLeavesTheListWholeOrAsItWas) {
    for (int i = 0; i < 40; ++i) MakeFolder("s/" + QString::number(i) + "/inner");
    const QStringList start{PathOf("s/")};
    QStringList whole = start;
    GetSubDirectories2016(whole, true);
    ASSERT_EQ(whole.size(), 81);

    // Cancelled at every point from the first poll on: the list is never half-gathered.
    for (int cancelAfter = 0; cancelAfter < 120; cancelAfter += 7) {
        QStringList folders = start;
        std::atomic<int> polls{0};
        std::atomic<bool> cancel{false};
        std::atomic<bool> done{false};
        WalkHooks hooks;
        hooks.cancelled = [&] {
            ++polls;
            return cancel.load();
        };
        std::thread walker([&] {
            GetSubDirectories2016(folders, true, hooks);
            done = true;
        });
        while (polls.load() < cancelAfter && !done.load()) std::this_thread::yield();
        cancel = true;
        walker.join();
        EXPECT_TRUE(folders == start || folders == whole) << "cancelled after " << cancelAfter;
    }
}

}  // namespace
}  // namespace trellisane
