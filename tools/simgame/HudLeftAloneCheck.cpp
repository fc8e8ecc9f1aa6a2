#include "HudLeftAloneCheck.h"

namespace sim {

namespace {

constexpr int kSmokeMs = 1000;

}  // namespace

void CheckHudLeftAlone(Timeline& timeline, Session& session, const FakeGame& game, bool installed)
{
    timeline.Step("the game plays on");
    const bool untouched = session.PlayWhile(kSmokeMs, [&] { return game.hudVisibleCalls.empty(); });
    if (!installed) {
        timeline.Check(untouched && session.LogHas("result = [Exiting] | UISingleton is nullptr"),
                       "the decision runs from the hooked call, finds no game objects and leaves the HUD alone");
        timeline.Check(session.LogHas("Failed to register messaging listener"),
                       "the plugin logged the failed registration");
    } else {
        // Inside the grace period: the pass runs and leaves the HUD be.
        timeline.Check(untouched && session.LogHas("result = [show] | UnityInProcess"),
                       "the decision runs from the hooked call");
    }
}

}  // namespace sim
