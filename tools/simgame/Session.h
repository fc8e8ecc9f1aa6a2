#pragma once

#include "FakeGame.h"
#include "SessionFiles.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sim {

// What happened, when: steps of the script, what the plugin did to the game
// and whether each expectation held, printed as they happen.
class Timeline {
public:
    Timeline();

    void Step(const std::string& text);
    void Event(const std::string& kind, const std::string& text);
    // Records an expectation; returns whether it held.
    bool Check(bool held, const std::string& what);

    [[nodiscard]] int checks() const noexcept { return checks_; }
    [[nodiscard]] int failures() const noexcept { return failures_; }

private:
    void Print(const std::string& kind, const std::string& text);

    std::chrono::steady_clock::time_point start_;
    int checks_ = 0;
    int failures_ = 0;
};

// The game's main loop in real time: one thread calls the per-frame function
// every frame, and everything else the session does to the game (events,
// keys, state changes) happens on that thread between frames, as the plugin's
// key reading sees the keyboard state of the thread that runs its decision.
class Session {
public:
    static constexpr std::chrono::milliseconds kFrame{5};

    Session(FakeGame& game, Timeline& timeline, LogTail& log);

    void Play(int milliseconds);
    // Plays until `condition` holds after a frame, for at most `milliseconds`.
    bool PlayUntil(int milliseconds, const std::function<bool()>& condition);
    // Plays `milliseconds`; whether `condition` held after every frame.
    bool PlayWhile(int milliseconds, const std::function<bool()>& condition);

    [[nodiscard]] bool HUDShown() const noexcept { return game_.ui.HUDShown(); }
    [[nodiscard]] std::uint64_t framesRun() const noexcept { return framesRun_; }
    [[nodiscard]] std::uint64_t wrongAnswers() const noexcept { return wrongAnswers_; }
    // Whether a log line written so far contains `text`.
    [[nodiscard]] bool LogHas(const std::string& text);

    // Reports what the plugin did to the game since the last frame.
    void Collect();

private:
    void Frame();
    void ReadLog();

    FakeGame& game_;
    Timeline& timeline_;
    LogTail& log_;
    std::chrono::steady_clock::time_point nextFrame_;
    std::uint64_t framesRun_ = 0;
    std::uint64_t wrongAnswers_ = 0;
    std::size_t hudCallsSeen_ = 0;
    std::size_t soundsSeen_ = 0;
    std::string lastReason_;
    std::vector<std::string> lines_;
};

}  // namespace sim
