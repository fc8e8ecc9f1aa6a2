#pragma once

#include <atomic>

namespace fake {

// A count the game keeps (of calls, of strings) while several of its threads may call it at
// once: every call counted, and nothing ordered between the threads by the
// counting, so that a test under ThreadSanitizer sees the plugin's own
// synchronisation and no more. Reads and assignments look like an int's.
class CallCount {
public:
    CallCount() noexcept = default;
    CallCount(int count) noexcept : count_(count) {}  // NOLINT(google-explicit-constructor)
    CallCount(const CallCount& other) noexcept : count_(other) {}
    CallCount& operator=(const CallCount& other) noexcept
    {
        count_.store(other, std::memory_order_relaxed);
        return *this;
    }
    CallCount& operator=(int count) noexcept
    {
        count_.store(count, std::memory_order_relaxed);
        return *this;
    }
    CallCount& operator++() noexcept
    {
        Add(1);
        return *this;
    }
    CallCount& operator--() noexcept
    {
        Add(-1);
        return *this;
    }

    // With threads at once every change is one indivisible add; otherwise a
    // load and a store, which the benchmarks of the plugin's pass do not see
    // beside the plugin's own work.
    static void SetThreadsCountAtOnce(bool on) noexcept { threadsAtOnce_.store(on, std::memory_order_relaxed); }
    operator int() const noexcept  // NOLINT(google-explicit-constructor)
    {
        return count_.load(std::memory_order_relaxed);
    }

private:
    void Add(int step) noexcept
    {
        if (threadsAtOnce_.load(std::memory_order_relaxed)) {
            count_.fetch_add(step, std::memory_order_relaxed);
        } else {
            count_.store(count_.load(std::memory_order_relaxed) + step, std::memory_order_relaxed);
        }
    }

    static inline std::atomic<bool> threadsAtOnce_{false};
    std::atomic<int> count_{0};
};

}  // namespace fake
