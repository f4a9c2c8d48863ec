// Items taken one at a time by the threads that share them, and work done
// in the background.
#include "shell/WorkSplit.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

using namespace vialto;

// Every item runs exactly once whatever the number of threads, and the
// failure raised is that of the lowest failing item, after every item ended.
TEST(RunClaimed, EveryItemOnceAndTheLowestFailure) {
    const std::size_t cases[][2] = {{0, 3}, {1, 4}, {5, 1}, {100, 2}, {7, 16}};
    for (const auto &[count, parts] : cases) {
        SCOPED_TRACE(testing::Message() << count << " items, " << parts << " parts");
        std::vector<std::atomic<int>> runs(count);
        RunClaimed(count, parts, [&](std::size_t item) { ++runs[item]; });
        for (std::size_t item = 0; item < count; ++item)
            EXPECT_EQ(1, runs[item].load()) << item;
    }
    std::vector<std::atomic<int>> runs(40);
    try {
        RunClaimed(40, 3, [&](std::size_t item) {
            ++runs[item];
            if (item % 10 == 7)
                throw std::runtime_error("item " + std::to_string(item));
        });
        FAIL() << "no failure raised";
    } catch (const std::runtime_error &e) {
        EXPECT_STREQ("item 7", e.what());
    }
    for (const std::atomic<int> &run : runs)
        EXPECT_EQ(1, run.load());
}

// Work in the background has ended when Wait returns, and its failure is
// raised there.
TEST(WorkInBackground, WaitEndsTheWorkAndRaisesItsFailure) {
    int done = 0;
    WorkInBackground work([&] { done = 1; });
    work.Wait();
    EXPECT_EQ(1, done);
    WorkInBackground failing([] { throw std::runtime_error("in the background"); });
    EXPECT_THROW(failing.Wait(), std::runtime_error);
    failing.Wait(); // raised once
}
