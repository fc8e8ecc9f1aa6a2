#include "GameIntactCheck.h"

#include <string>

namespace sim {

void CheckFirstFrames(Timeline& timeline, const Session& session, std::uint64_t framesBefore)
{
    timeline.Check(session.framesRun() > 0 && FakeGame::FramesReached() - framesBefore == session.framesRun() &&
                       session.wrongAnswers() == 0,
                   std::to_string(session.framesRun()) +
                       " frames reached the per-frame function through the thunk, argument and result intact");
}

void CheckGameIntact(Timeline& timeline, const FakeGame& game, const Session& session, std::uint64_t framesBefore)
{
    timeline.Check(FakeGame::FramesReached() - framesBefore == session.framesRun() && session.wrongAnswers() == 0,
                   "every frame of the session reached the per-frame function intact");
    timeline.Check(game.faults().empty(), "the game saw no call it would not survive" +
                                              (game.faults().empty() ? std::string() : ": " + game.faults().front()));
    timeline.Check(game.LiveGameStrings() == 0, "every game string the plugin made was released");
}

}  // namespace sim
