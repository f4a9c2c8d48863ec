// Splitting independent work between the machine's cores. The heavy stages
// (reading, ruling and writing cross sections, reading a written document
// back) cut their work into contiguous ranges, one thread each, and join the
// results in range order, so what they produce never depends on the split.
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

namespace vialto {

// More threads than this gain nothing on the sizes the converter meets: the
// ranges become too short and the joins dominate.
inline constexpr std::size_t kMaxWorkParts = 4;

// How many ranges the heavy stages split their work into: the cores the
// machine reports, between 1 and kMaxWorkParts. Asked of the system once: it
// reads a file each time.
inline std::size_t WorkParts() {
    static const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp<std::size_t>(cores, 1, kMaxWorkParts);
}

// The start of range `part` of `parts` over [0, count): ranges differ in
// length by one at most, the longer ones first.
inline std::size_t WorkRangeStart(std::size_t count, std::size_t parts, std::size_t part) {
    const std::size_t base = count / parts;
    const std::size_t longer = count % parts;
    return part * base + std::min(part, longer);
}

// Raises the first failure of the list, if any.
inline void RethrowFirstFailure(const std::vector<std::exception_ptr> &failures) {
    for (const std::exception_ptr &failure : failures)
        if (failure)
            std::rethrow_exception(failure);
}

// The items [0, count) of a claimed run, shared by the threads that take
// them: each call takes the next item not yet taken, in ascending order,
// until none is left, and keeps what each item raised.
template <class Work> class ClaimedItems {
  public:
    ClaimedItems(std::size_t count, Work &work) : count_(count), work_(work), failures_(count) {}

    void operator()() {
        for (std::size_t item = next_++; item < count_; item = next_++) {
            try {
                work_(item);
            } catch (...) {
                failures_[item] = std::current_exception();
            }
        }
    }

    // Raises the failure of the lowest item that failed, once all ended.
    void RethrowFirstFailure() const { vialto::RethrowFirstFailure(failures_); }

  private:
    std::size_t count_;
    Work &work_;
    std::atomic<std::size_t> next_{0};
    std::vector<std::exception_ptr> failures_; // by item
};

// Runs work(begin, end, part) on `parts` contiguous ranges of [0, count) at
// once, the first on the calling thread, and returns when all have ended.
// Fewer ranges run when count is smaller than parts; none when it is 0. An
// exception of any range is rethrown after all ended, the first range's
// first.
template <class Work> void RunInParts(std::size_t count, std::size_t parts, Work &&work) {
    parts = std::clamp<std::size_t>(parts, 1, std::max<std::size_t>(count, 1));
    if (count == 0)
        return;
    if (parts == 1) {
        work(std::size_t{0}, count, std::size_t{0});
        return;
    }
    std::vector<std::exception_ptr> failures(parts);
    auto runPart = [&](std::size_t part) {
        try {
            work(WorkRangeStart(count, parts, part), WorkRangeStart(count, parts, part + 1), part);
        } catch (...) {
            failures[part] = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    threads.reserve(parts - 1);
    for (std::size_t part = 1; part < parts; ++part)
        threads.emplace_back(runPart, part);
    runPart(0);
    for (std::thread &thread : threads)
        thread.join();
    RethrowFirstFailure(failures);
}

// Runs work(item) for every item of [0, count) on up to `parts` threads, the
// calling thread among them: each thread takes the next item not yet taken,
// in ascending order, until none is left. A thread that starts late (a
// busy machine) finds less left to do instead of holding the others up at
// the end. Returns when every item has ended; the failure of the lowest item
// that failed is rethrown then. With one part the items run in order on the
// calling thread and the first failure ends the run.
template <class Work> void RunClaimed(std::size_t count, std::size_t parts, Work &&work) {
    parts = std::clamp<std::size_t>(parts, 1, std::max<std::size_t>(count, 1));
    if (parts == 1) {
        for (std::size_t item = 0; item < count; ++item)
            work(item);
        return;
    }
    ClaimedItems<std::remove_reference_t<Work>> claim(count, work);
    std::vector<std::thread> threads;
    threads.reserve(parts - 1);
    for (std::size_t part = 1; part < parts; ++part)
        threads.emplace_back([&claim] { claim(); });
    claim();
    for (std::thread &thread : threads)
        thread.join();
    claim.RethrowFirstFailure();
}

// One thread kept for many pieces of work, one at a time: a task that hands
// work to another thread over and over keeps one of these instead of
// starting a thread each time. Start(work) hands the next piece over once the
// last was waited for; Wait() waits for it to end and raises its failure,
// after which the thread takes more. The destructor lets the piece started
// last end, then stops the thread.
class WorkerThread {
  public:
    WorkerThread() : thread_([this] { Serve(); }) {}
    WorkerThread(const WorkerThread &) = delete;
    WorkerThread &operator=(const WorkerThread &) = delete;
    ~WorkerThread() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

    void Start(std::function<void()> work) {
        {
            const std::lock_guard lock(mutex_);
            work_ = std::move(work);
            busy_ = true;
        }
        wake_.notify_one();
    }

    void Wait() {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [this] { return !busy_; });
        if (failure_)
            std::rethrow_exception(std::exchange(failure_, nullptr));
    }

  private:
    void Serve() {
        std::unique_lock lock(mutex_);
        while (true) {
            wake_.wait(lock, [this] { return stop_ || work_; });
            if (!work_)
                return;
            std::function<void()> work = std::exchange(work_, nullptr);
            lock.unlock();
            std::exception_ptr failure;
            try {
                work();
            } catch (...) {
                failure = std::current_exception();
            }
            work = nullptr; // what it holds goes before the work is told done
            lock.lock();
            failure_ = failure;
            busy_ = false;
            done_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_; // work handed over, or stop
    std::condition_variable done_; // the work handed over ended
    std::function<void()> work_;   // handed over, not yet taken
    bool busy_ = false;            // handed over and not yet ended
    bool stop_ = false;
    std::exception_ptr failure_; // of the work that ended last
    std::thread thread_;         // last: starts once the rest exists
};

// Threads kept for a task's many short runs split between cores: up to
// parts - 1 helpers, started when a run first needs them, work beside the
// calling thread. With one part everything runs on the calling thread.
class WorkCrew {
  public:
    explicit WorkCrew(std::size_t parts) : parts_(std::max<std::size_t>(parts, 1)) {}

    std::size_t Parts() const { return parts_; }

    // RunClaimed(count, Parts(), work) on the crew's threads: the same items
    // on the same terms, the same failure raised.
    template <class Work> void RunClaimed(std::size_t count, Work &&work) {
        const std::size_t parts =
            std::clamp<std::size_t>(parts_, 1, std::max<std::size_t>(count, 1));
        if (parts == 1) {
            for (std::size_t item = 0; item < count; ++item)
                work(item);
            return;
        }
        ClaimedItems<std::remove_reference_t<Work>> claim(count, work);
        while (helpers_.size() < parts - 1)
            helpers_.push_back(std::make_unique<WorkerThread>());
        std::size_t started = 0;
        try {
            for (; started < parts - 1; ++started)
                helpers_[started]->Start([&claim] { claim(); });
        } catch (...) {
            // Nothing handed over outlives this run.
            for (std::size_t helper = 0; helper < started; ++helper)
                helpers_[helper]->Wait();
            throw;
        }
        claim();
        for (std::size_t helper = 0; helper < started; ++helper)
            helpers_[helper]->Wait();
        claim.RethrowFirstFailure();
    }

  private:
    std::size_t parts_;
    std::vector<std::unique_ptr<WorkerThread>> helpers_;
};

// One piece of work run on another thread while the calling thread goes on
// with something else. Wait() waits for it to end and raises its failure;
// the destructor waits too, so nothing it uses goes away under it.
class WorkInBackground {
  public:
    template <class Work>
    explicit WorkInBackground(Work &&work)
        : thread_([this, work = std::forward<Work>(work)]() mutable {
              try {
                  work();
              } catch (...) {
                  failure_ = std::current_exception();
              }
          }) {}
    WorkInBackground(const WorkInBackground &) = delete;
    WorkInBackground &operator=(const WorkInBackground &) = delete;
    ~WorkInBackground() {
        if (thread_.joinable())
            thread_.join();
    }

    void Wait() {
        if (thread_.joinable())
            thread_.join();
        if (failure_)
            std::rethrow_exception(std::exchange(failure_, nullptr));
    }

  private:
    std::exception_ptr failure_; // set by the thread; read after it ended
    std::thread thread_;         // last: starts once failure_ exists
};

} // namespace vialto
