#include "LoadProtocolCheck.h"

#include "FakeGame.h"
#include "Zorvik/BranchTarget.h"

#include <string>
#include <vector>

namespace sim {

namespace {

// The loader calls of the load function, in order, for what the loader serves.
std::vector<std::string> ExpectedLoaderCalls(const FakeLoader::Options& served)
{
    std::vector<std::string> calls{"GetHandle", "QueryInterface(1)", "QueryInterface(2)", "QueryInterface(3)",
                                   "QueryInterface(4)"};
    if (served.serveTrampoline) {
        calls.emplace_back("AllocateBranchSpace(256)");
    }
    if (served.serveMessaging) {
        calls.emplace_back("RegisterListener(Zorvik)");
    }
    return calls;
}

// The call still a 5-byte call, now to the plugin's branch: in the loader's
// space when the loader served one, in the plugin's own block otherwise.
void CheckPatchedCall(Timeline& timeline, const FakeLoader& loader, bool servedTrampoline,
                      std::uintptr_t originalTarget)
{
    const std::uintptr_t site = FakeGame::PerFrameCallSite();
    const std::uintptr_t target = Zorvik::branch_target(site);
    const bool inLoaderSpace = loader.branchSpace() != 0 && target >= loader.branchSpace() &&
                               target < loader.branchSpace() + loader.branchSpaceSize();
    timeline.Check(*reinterpret_cast<const std::uint8_t*>(site) == 0xE8 && target != originalTarget,
                   "the per-frame call is patched");
    timeline.Check(servedTrampoline == inLoaderSpace, servedTrampoline
                                                          ? "the patched call goes through the loader's branch space"
                                                          : "the patched call goes through the plugin's own block");
}

}  // namespace

std::uintptr_t PerFrameCallTarget()
{
    return Zorvik::branch_target(FakeGame::PerFrameCallSite());
}

void CheckLoadProtocol(Timeline& timeline, FakeLoader& loader, LoadFunction load, const FakeLoader::Options& served,
                       std::uintptr_t originalTarget)
{
    timeline.Step("the loader calls ZorvikPlugin_Load");
    const bool loaded = load(loader.loadInterface());
    timeline.Check(loaded, "ZorvikPlugin_Load returned true");
    timeline.Event("loader", "calls: " + Joined(loader.calls()));

    const auto expectedCalls = ExpectedLoaderCalls(served);
    timeline.Check(loader.calls() == expectedCalls, "load protocol in order: " + Joined(expectedCalls));
    CheckPatchedCall(timeline, loader, served.serveTrampoline, originalTarget);
}

void CheckDataLoadedMessage(Timeline& timeline, FakeLoader& loader, bool installs)
{
    timeline.Step("the loader reports the game's data loaded");
    const bool sent = loader.SendDataLoaded();
    timeline.Check(sent == installs, installs ? "a listener was registered and got the message"
                                              : "no listener was registered: the plugin never installs");
}

}  // namespace sim
