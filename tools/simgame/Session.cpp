#include "Session.h"

#include <cstdio>
#include <thread>

namespace sim {

namespace {

// The log lines that say why the HUD changed: the decision's verdicts and
// the sinks' event lines.
bool GivesReason(const std::string& message)
{
    return message.find("result = [show]") != std::string::npos ||
           message.find("result = [hide]") != std::string::npos || message.find(" --> ") != std::string::npos;
}

}  // namespace

std::string Joined(const std::vector<std::string>& items)
{
    std::string text;
    for (const auto& item : items) {
        text += (text.empty() ? "" : ", ") + item;
    }
    return text;
}

Timeline::Timeline() : start_(std::chrono::steady_clock::now()) {}

double Timeline::ElapsedMs() const
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
}

void Timeline::Step(const std::string& text)
{
    Print("step", text);
}

void Timeline::Event(const std::string& kind, const std::string& text)
{
    Print(kind, text);
}

bool Timeline::Check(bool held, const std::string& what)
{
    ++checks_;
    if (!held) {
        ++failures_;
    }
    Print(held ? "ok" : "FAILED", what);
    return held;
}

void Timeline::PrintTally() const
{
    std::printf("\n%d checks, %d failed\n", checks_, failures_);
}

void Timeline::Print(const std::string& kind, const std::string& text)
{
    const auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::printf("%8.3f s  %-6s  %s\n", elapsed, kind.c_str(), text.c_str());
    std::fflush(stdout);
}

Session::Session(FakeGame& game, Timeline& timeline, LogTail& log)
    : game_(game), timeline_(timeline), log_(log), nextFrame_(std::chrono::steady_clock::now())
{
}

void Session::Play(int milliseconds)
{
    PlayWhile(milliseconds, [] { return true; });
}

bool Session::PlayUntil(int milliseconds, const std::function<bool()>& condition)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        Frame();
        if (condition()) {
            return true;
        }
    }
    return false;
}

bool Session::PlayWhile(int milliseconds, const std::function<bool()>& condition)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    bool held = true;
    while (std::chrono::steady_clock::now() < end) {
        Frame();
        held = held && condition();
    }
    return held;
}

void Session::Frame()
{
    // A steady frame rate: a late frame does not shift the ones after it.
    nextFrame_ = std::max(nextFrame_ + kFrame, std::chrono::steady_clock::now() - kFrame);
    std::this_thread::sleep_until(nextFrame_);
    const std::uint64_t token = 0x1000 + framesRun_;
    if (FakeGame::RunFrame(token) != FakeGame::FrameAnswer(token)) {
        ++wrongAnswers_;
    }
    ++framesRun_;
    Collect();
}

void Session::Collect()
{
    const bool changed = game_.hudVisibleCalls.size() > hudCallsSeen_ || game_.sounds.size() > soundsSeen_;
    if (!changed) {
        return;
    }
    // Only now read the log: the reason is the last verdict written before
    // the change, whichever frame wrote it.
    ReadLog();
    const std::string because = lastReason_.empty() ? std::string() : "   <- " + lastReason_;
    for (; hudCallsSeen_ < game_.hudVisibleCalls.size(); ++hudCallsSeen_) {
        const bool shown = game_.hudVisibleCalls[hudCallsSeen_];
        if (shown == hudShown_) {
            continue;
        }
        hudShown_ = shown;
        if (hudObserver_) {
            hudObserver_(shown, lastReason_);
        } else {
            timeline_.Event("HUD", (shown ? "shown " : "hidden") + because);
        }
    }
    for (; soundsSeen_ < game_.sounds.size(); ++soundsSeen_) {
        timeline_.Event("sound", game_.sounds[soundsSeen_]);
    }
}

void Session::ReadLog()
{
    for (std::string& line : log_.NewLines()) {
        const std::string message = LogMessage(line);
        if (GivesReason(message)) {
            lastReason_ = message;
        } else if (message.find("logging was requested to be turned off") != std::string::npos) {
            // From here the plugin logs no reasons: an old one would mislead.
            lastReason_.clear();
        }
        lines_.push_back(std::move(line));
    }
}

std::vector<std::string> Session::NewMessages()
{
    ReadLog();
    std::vector<std::string> messages;
    for (; messagesTaken_ < lines_.size(); ++messagesTaken_) {
        messages.push_back(LogMessage(lines_[messagesTaken_]));
    }
    return messages;
}

bool Session::LogHas(const std::string& text)
{
    ReadLog();
    for (const std::string& line : lines_) {
        if (line.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace sim
