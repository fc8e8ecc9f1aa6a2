#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

// Runs `work` on its own thread for each entry, all started together; the
// destructor waits for them all.
class Threads {
public:
    template <class... Work>
    explicit Threads(Work&&... work)
    {
        (threads_.emplace_back([this, work] {
            ++ready_;
            while (ready_.load() < static_cast<int>(sizeof...(Work))) {
                std::this_thread::yield();
            }
            work();
        }),
         ...);
    }
    ~Threads()
    {
        for (auto& thread : threads_) {
            thread.join();
        }
    }
    Threads(const Threads&) = delete;
    Threads& operator=(const Threads&) = delete;

private:
    std::atomic<int> ready_{0};
    std::vector<std::thread> threads_;
};

// One thread for each step, taking turns: in every cycle the first step runs
// on its thread, then the second on its own, and so on. The turn is handed on
// with relaxed atomics, which order nothing in ThreadSanitizer's eyes, so a
// field two steps touch without an atomic access is reported on the first
// cycle in which both touch it, whatever the scheduler does; threads running
// freely only meet where the scheduler happens to put them side by side.
class TakingTurns {
public:
    using Step = std::function<void(int cycle)>;

    TakingTurns(std::vector<Step> steps, int cycles)
    {
        const int count = static_cast<int>(steps.size());
        std::vector<std::thread> threads;
        threads.reserve(steps.size());
        for (int index = 0; index < count; ++index) {
            threads.emplace_back(
                [this, step = std::move(steps[static_cast<std::size_t>(index)]), index, count, cycles] {
                    for (int cycle = 0; cycle < cycles; ++cycle) {
                        const int myTurn = cycle * count + index;
                        while (turn_.load(std::memory_order_relaxed) != myTurn) {
                            std::this_thread::yield();
                        }
                        step(cycle);
                        turn_.store(myTurn + 1, std::memory_order_relaxed);
                    }
                });
        }
        for (auto& thread : threads) {
            thread.join();
        }
    }

private:
    std::atomic<int> turn_{0};
};
