#pragma once

#include "SharedValue.h"
#include "settings/SettingsRecord.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <type_traits>

// The settings, published whole: a reload fills a record aside and puts it in
// force with one store, so a reader that takes the record once (a decision
// pass does, after its look at the file) reads one reload's values and never
// a mix of two. Records are kept in a ring rather than allocated, so that a
// reader needs no lock and nothing is freed under it: a record is filled
// again only by the fourth reload after it, and a pass lasts microseconds
// where a reload reads a file. Its fields are atomic all the same, so even a
// reader held that long meets no data race.
//
// The logging switch stands apart: every log line tests it, a gated call too,
// and a reload sets it on its own, after the lines of the values it read.
class PublishedSettings {
public:
    SharedValue<bool> bLogging = true;

    [[nodiscard]] const SettingsRecord& operator*() const noexcept { return *inForce_.load(std::memory_order_acquire); }
    const SettingsRecord* operator->() const noexcept { return &**this; }

    // Puts a whole record in force. Writers take turns (ReloadINI holds its
    // lock); readers never wait.
    void Publish(const SettingsRecord& record) noexcept
    {
        const auto current = static_cast<std::size_t>(inForce_.load(std::memory_order_relaxed) - ring_.data());
        SettingsRecord& next = ring_[(current + 1) % ring_.size()];
        next = record;
        inForce_.store(&next, std::memory_order_release);
    }

    // The record in force with one field changed, published whole: for a
    // program that states one setting (a test, a benchmark, the fake game).
    template <class T>
    void PublishWith(SettingsField<T> field, std::type_identity_t<T> value) noexcept
    {
        SettingsRecord record = **this;
        record.*field = value;
        Publish(record);
    }

    // Every value as a fresh process has it, the logging switch too.
    void RestoreInitialValues() noexcept
    {
        Publish(SettingsRecord{});
        bLogging = true;
    }

private:
    std::array<SettingsRecord, 4> ring_{};
    std::atomic<const SettingsRecord*> inForce_{ring_.data()};
};
