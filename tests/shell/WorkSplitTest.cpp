// Work split between threads: contiguous ranges, items taken one at a time,
// and work done in the background.
#include "shell/WorkSplit.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

using namespace vialto;

// Every index falls in exactly one range whatever the split, the ranges are
// contiguous and in order, and each part sees its own number.
TEST(WorkSplit, RangesCoverEveryIndexOnceInOrder) {
    const std::size_t cases[][2] = {{0, 2}, {1, 4}, {2, 2}, {3, 2}, {7, 3}, {10, 1}, {1000, 4}};
    for (const auto &[count, parts] : cases) {
        SCOPED_TRACE(testing::Message() << count << " in " << parts);
        std::vector<int> seen(count, 0);
        std::vector<std::size_t> begins(parts, count + 1), ends(parts, count + 1);
        RunInParts(count, parts, [&](std::size_t begin, std::size_t end, std::size_t part) {
            begins[part] = begin;
            ends[part] = end;
            for (std::size_t i = begin; i < end; ++i)
                ++seen[i];
        });
        EXPECT_EQ(std::vector<int>(count, 1), seen);
        const std::size_t used = count == 0 ? 0 : std::min(count, parts);
        for (std::size_t part = 0; part < used; ++part) {
            EXPECT_EQ(part == 0 ? 0 : ends[part - 1], begins[part]);
            EXPECT_LE(ends[part] - begins[part], count / used + 1);
        }
        if (used > 0) {
            EXPECT_EQ(count, ends[used - 1]);
        }
    }
}

// A range that fails does not leave the others running: all end, then the
// first range's failure is raised.
TEST(WorkSplit, FailureRaisedAfterAllRangesEnded) {
    std::vector<int> done(4, 0);
    EXPECT_THAT(
        [&] {
            RunInParts(4, 4, [&](std::size_t, std::size_t, std::size_t part) {
                done[part] = 1;
                if (part >= 2)
                    throw std::runtime_error("part " + std::to_string(part));
            });
        },
        testing::ThrowsMessage<std::runtime_error>(testing::StrEq("part 2")));
    EXPECT_EQ(std::vector<int>(4, 1), done);
}

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
    EXPECT_THAT(
        [&] {
            RunClaimed(40, 3, [&](std::size_t item) {
                ++runs[item];
                if (item % 10 == 7)
                    throw std::runtime_error("item " + std::to_string(item));
            });
        },
        testing::ThrowsMessage<std::runtime_error>(testing::StrEq("item 7")));
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
