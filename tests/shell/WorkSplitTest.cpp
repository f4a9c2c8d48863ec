// Work split between threads: contiguous ranges, items taken one at a time,
// work done in the background and threads kept from one piece to the next.
#include "shell/WorkSplit.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using namespace vialto;

namespace {

// Raises std::runtime_error with exactly this message.
auto Fails(const std::string &message) {
    return testing::ThrowsMessage<std::runtime_error>(testing::StrEq(message));
}

} // namespace

// Every index falls in exactly one range whatever the split, the ranges are
// contiguous and in order, and each part sees its own number; every claimed
// item runs exactly once whatever the number of threads.
TEST(WorkSplit, EveryIndexOnceWhateverTheSplit) {
    const std::size_t cases[][2] = {{0, 2},  {1, 4},    {2, 2}, {3, 2},   {7, 3},
                                    {10, 1}, {1000, 4}, {5, 1}, {100, 2}, {7, 16}};
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
        EXPECT_EQ(count, used > 0 ? ends[used - 1] : 0);
        std::vector<std::atomic<int>> runs(count);
        RunClaimed(count, parts, [&](std::size_t item) { ++runs[item]; });
        // A crew's threads serve run after run.
        WorkCrew crew(parts);
        for (int round = 0; round < 3; ++round)
            crew.RunClaimed(count, [&](std::size_t item) { ++runs[item]; });
        for (std::size_t item = 0; item < count; ++item)
            EXPECT_EQ(4, runs[item].load()) << item;
    }
}

// A failure does not leave other work running: all of it ends, then the
// failure of the first range, or of the lowest failing item, is raised; work
// in the background raises its failure from Wait, once. A crew stays usable
// after a failed run.
TEST(WorkSplit, FailureRaisedAfterAllWorkEnded) {
    std::vector<int> done(4, 0);
    EXPECT_THAT(
        [&] {
            RunInParts(4, 4, [&](std::size_t, std::size_t, std::size_t part) {
                done[part] = 1;
                if (part >= 2)
                    throw std::runtime_error("part " + std::to_string(part));
            });
        },
        Fails("part 2"));
    EXPECT_EQ(std::vector<int>(4, 1), done);
    // Items 7, 17, 27 and 37 fail, from `lowest` on.
    std::vector<std::atomic<int>> runs(40);
    const auto failingFrom = [&runs](std::size_t lowest) {
        return [&runs, lowest](std::size_t item) {
            ++runs[item];
            if (item % 10 == 7 && item >= lowest)
                throw std::runtime_error("item " + std::to_string(item));
        };
    };
    EXPECT_THAT([&] { RunClaimed(40, 3, failingFrom(7)); }, Fails("item 7"));
    WorkCrew crew(3);
    for (const std::size_t lowest : {7, 17})
        EXPECT_THAT([&] { crew.RunClaimed(40, failingFrom(lowest)); },
                    Fails("item " + std::to_string(lowest)));
    for (const std::atomic<int> &run : runs)
        EXPECT_EQ(3, run.load());
    int finished = 0;
    WorkInBackground work([&] { finished = 1; });
    work.Wait();
    EXPECT_EQ(1, finished);
    WorkInBackground failing([] { throw std::runtime_error("in the background"); });
    EXPECT_THAT([&] { failing.Wait(); }, Fails("in the background"));
    failing.Wait(); // raised once
}

// A kept thread runs piece after piece, each seen whole by Wait: its result,
// or its failure raised once, after which the thread takes the next piece.
// Ending it lets the piece started last end first.
TEST(WorkSplit, KeptThreadServesPieceAfterPiece) {
    // How many pieces, and every how many one fails (0: none fails).
    const std::pair<int, int> cases[] = {{1, 0}, {200, 0}, {50, 1}, {300, 7}};
    for (const auto &[pieces, failEvery] : cases) {
        SCOPED_TRACE(testing::Message() << pieces << " pieces, failing every " << failEvery);
        WorkerThread worker;
        worker.Wait(); // nothing started
        long result = 0;
        for (int piece = 0; piece < pieces; ++piece) {
            const bool failing = failEvery > 0 && piece % failEvery == 0;
            worker.Start([&result, piece, failing] {
                if (failing)
                    throw std::runtime_error("piece " + std::to_string(piece));
                result = static_cast<long>(piece) * piece;
            });
            if (failing) {
                EXPECT_THAT([&] { worker.Wait(); }, Fails("piece " + std::to_string(piece)));
                worker.Wait(); // raised once
            } else {
                worker.Wait();
                EXPECT_EQ(static_cast<long>(piece) * piece, result);
            }
        }
    }
    std::atomic<int> finished{0};
    {
        WorkerThread worker;
        worker.Start([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            finished = 1;
        });
    }
    EXPECT_EQ(1, finished.load());
}
