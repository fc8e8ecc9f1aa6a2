#include "MissingObjectCheck.h"

#include <cstdio>
#include <cstdlib>

namespace sim {

namespace {

// The plugin ends the game inside the data-loaded message when an object is
// missing, so what it logged is checked as the process exits.
struct ShutdownExpectation {
    Timeline* timeline = nullptr;
    LogTail* log = nullptr;
    std::string line;  // the plugin's message naming the missing object
};
ShutdownExpectation shutdownExpectation;

std::string ShutdownLineFor(const std::string& missingObject)
{
    const char* pointer = missingObject == "ui" ? "UISingleton" : missingObject == "player" ? "PlayerChar" : "MQ305";
    return std::string("[LoadStaticVariables] ") + pointer + " is nullptr, shutting down";
}

// A failed check prints the summary line that marks a failed session; the
// exit status stays the plugin's.
void CheckShutdownLineAtExit()
{
    auto& [timeline, log, expected] = shutdownExpectation;
    bool logged = false;
    for (const std::string& line : log->NewLines()) {
        logged = logged || LogMessage(line) == expected;
    }
    if (!timeline->Check(logged, "the plugin ended the game with the line \"" + expected + "\"")) {
        timeline->PrintTally();
    }
    std::fflush(stdout);
}

}  // namespace

void ExpectShutdownWithout(const std::string& object, FakeGame& game, Timeline& timeline, LogTail& log)
{
    if (object == "ui") {
        game.SetGameUIPointer(nullptr);
    } else if (object == "player") {
        game.SetGamePlayerPointer(nullptr);
    } else if (object == "form") {
        game.SetFormMissing(fake::kMQ305FormID);
    }
    timeline.Step("the game lacks its " + object +
                  " object: the plugin must end the game with status 0 when it looks it up");
    shutdownExpectation = {&timeline, &log, ShutdownLineFor(object)};
    std::atexit(&CheckShutdownLineAtExit);
}

void ReportGameNotEnded(Timeline& timeline)
{
    timeline.Check(false, "the plugin ended the game when it found the object missing");
}

}  // namespace sim
