#pragma once

#include <atomic>
#include <cstddef>

// ThreadSanitizer keeps the last four accesses to each 8 bytes: values that
// share 8 bytes push each other's accesses out, and a race on one of them may
// pass unseen. Under it each shared value has 8 bytes of its own; elsewhere
// the record keeps its packed layout.
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define LUMENVEIL_UNDER_THREAD_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_THREAD__)
#define LUMENVEIL_UNDER_THREAD_SANITIZER 1
#endif
#ifdef LUMENVEIL_UNDER_THREAD_SANITIZER
inline constexpr std::size_t kSharedValueAlignment = 8;
#else
inline constexpr std::size_t kSharedValueAlignment = 1;
#endif

// A value that one of the game's threads stores and others load: the
// per-frame pass on the game's thread, the sinks on the threads that deliver
// their events. Each load and store is atomic with relaxed order: no thread
// ever sees a torn or half-written value, nothing orders it against other
// fields, and on x86-64 it compiles to the plain move a plain field would.
// Reads and writes keep the look of a plain field.
template <class T>
class SharedValue {
    static_assert(std::atomic<T>::is_always_lock_free);

public:
    constexpr SharedValue() noexcept = default;
    constexpr SharedValue(T value) noexcept : value_(value) {}  // NOLINT(google-explicit-constructor)

    // A copy takes the value as it is at that moment.
    SharedValue(const SharedValue& other) noexcept : value_(other.load()) {}
    SharedValue& operator=(const SharedValue& other) noexcept
    {
        store(other.load());
        return *this;
    }
    SharedValue& operator=(T value) noexcept
    {
        store(value);
        return *this;
    }

    operator T() const noexcept  // NOLINT(google-explicit-constructor)
    {
        return load();
    }
    [[nodiscard]] T load() const noexcept { return value_.load(std::memory_order_relaxed); }
    void store(T value) noexcept { value_.store(value, std::memory_order_relaxed); }

    // One indivisible step: the gate spaces the starts of passes, not their
    // ends, and a pass that reads the settings file again may still be
    // counting when the next one starts.
    SharedValue& operator+=(T step) noexcept
    {
        value_.fetch_add(step, std::memory_order_relaxed);
        return *this;
    }

    // Stores `desired` only if the value is still `expected`, in one
    // indivisible step; otherwise `expected` receives the value found.
    bool CompareExchange(T& expected, T desired) noexcept
    {
        return value_.compare_exchange_strong(expected, desired, std::memory_order_relaxed);
    }

private:
    alignas(kSharedValueAlignment) alignas(std::atomic<T>) std::atomic<T> value_{};
};
