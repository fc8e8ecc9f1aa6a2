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

    // Milliseconds since the timeline started, the time its lines show.
    [[nodiscard]] double ElapsedMs() const;

    [[nodiscard]] int checks() const noexcept { return checks_; }
    [[nodiscard]] int failures() const noexcept { return failures_; }
    // "N checks, M failed" after a blank line: the line that ends a session's
    // output, also when the plugin ends the process.
    void PrintTally() const;

private:
    void Print(const std::string& kind, const std::string& text);

    std::chrono::steady_clock::time_point start_;
    int checks_ = 0;
    int failures_ = 0;
};

// "a, b, c": a list as the timeline's lines name it.
[[nodiscard]] std::string Joined(const std::vector<std::string>& items);

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

    // Called for each call of the game's SetHUDMenusVisible that changed the
    // HUD, with the plugin's last logged reason (empty with logging off);
    // without one the timeline prints the change with that reason.
    using HudObserver = std::function<void(bool shown, const std::string& pluginReason)>;
    void ObserveHud(HudObserver observer) { hudObserver_ = std::move(observer); }
    // Log messages (without their time and level prefix) written since the
    // previous call.
    [[nodiscard]] std::vector<std::string> NewMessages();

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
    std::size_t messagesTaken_ = 0;
    bool hudShown_ = true;  // the game starts with its HUD shown
    HudObserver hudObserver_;
};

}  // namespace sim
