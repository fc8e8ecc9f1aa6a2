// The simulated game: loads the plugin DLL as the loader would, plays a
// scripted session against it in real time and prints what the plugin did.

#include "FakeGame.h"
#include "FakeLoader.h"
#include "GameIntactCheck.h"
#include "HudChangeRecord.h"
#include "HudLeftAloneCheck.h"
#include "LoadProtocolCheck.h"
#include "MissingObjectCheck.h"
#include "PlaySession.h"
#include "PluginDll.h"
#include "Scenario.h"
#include "ScenarioPlayer.h"
#include "Session.h"
#include "SessionFiles.h"
#include "SessionSettings.h"
#include "SimOptions.h"
#include "SinkCheck.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>

namespace {

constexpr int kExitSetupFailed = 2;

}  // namespace

int main(int argc, char** argv)
{
    const auto parsed = sim::ParseOptions(argc, argv);
    if (!parsed) {
        sim::PrintUsage();
        return kExitSetupFailed;
    }
    const bool playersIni = !parsed->ini.empty();
    const sim::Options options = sim::WithDefaultFiles(*parsed);
    const bool installs = options.loader.serveMessaging && options.loader.acceptListener;
    const bool playsScenario = installs && !options.loadOnly && !options.measureHook && options.missingObject.empty();
    // The whole scenario is read before anything runs: a bad line plays nothing.
    sim::ScenarioParse scenario;
    if (playsScenario) {
        scenario = sim::LoadScenario(options.scenario);
        if (scenario.error) {
            std::fprintf(stderr, "%s\n", scenario.error->c_str());
            return kExitSetupFailed;
        }
    }
    if (!options.gameFolder.empty()) {
        std::filesystem::create_directories(options.gameFolder);
        std::filesystem::current_path(options.gameFolder);
    }
    const auto gameFolder = std::filesystem::current_path();

    // The game: its functions and objects, and its address library in the
    // game folder, where the plugin looks for it and decodes it.
    FakeGame game(FakeGame::Addresses::LeftToThePluginDll);
    FakeGame::WriteAddressLibrary(gameFolder);

    const auto play = sim::PutSessionSettings(options, playersIni, gameFolder);
    if (!play) {
        return kExitSetupFailed;
    }
    if (playsScenario) {
        std::printf("scenario: %s, %zu steps\n", options.scenario.filename().string().c_str(), scenario.steps.size());
    }
    const auto load = sim::LoadPluginDll(options.dll);
    if (!load) {
        return kExitSetupFailed;
    }

    sim::Timeline timeline;
    const std::uintptr_t originalTarget = sim::PerFrameCallTarget();
    FakeLoader loader(options.loader);
    sim::CheckLoadProtocol(timeline, loader, *load, options.loader, originalTarget);

    sim::LogTail log;
    if (const auto file = sim::LogTail::NewestLogFile()) {
        log.Follow(*file);
    } else {
        timeline.Check(false, "the plugin's log file exists");
    }
    sim::Session session(game, timeline, log);
    if (!options.missingObject.empty()) {
        sim::ExpectShutdownWithout(options.missingObject, game, timeline, log);
    }

    sim::CheckDataLoadedMessage(timeline, loader, installs);
    sim::CheckSinks(timeline, game, installs, options.missingObject != "ui");

    std::uint64_t framesBefore = FakeGame::FramesReached();
    std::optional<sim::HudChangeRecord> hudChanges;
    std::optional<sim::ScenarioPlayer> player;
    if (playsScenario) {
        hudChanges.emplace(gameFolder);
        player.emplace(game, session, timeline, *play, *hudChanges);
    }
    session.Play(100);
    sim::CheckFirstFrames(timeline, session, framesBefore);

    if (!options.missingObject.empty()) {
        // The plugin ends the game (status 0) while it looks the objects up,
        // inside the message: reaching this line is the failure.
        sim::ReportGameNotEnded(timeline);
    } else if (!installs || options.loadOnly) {
        sim::CheckHudLeftAlone(timeline, session, game, installs);
    } else if (options.measureHook) {
        framesBefore += sim::MeasureHookedCall(game, session, timeline, *play);
    } else {
        player->Play(scenario.steps);
    }
    sim::CheckGameIntact(timeline, game, session, framesBefore);

    timeline.PrintTally();
    if (!log.file().empty()) {
        std::printf("plugin log: Documents\\My Games\\Corvane\\Zorvik\\Logs\\%s\n",
                    log.file().filename().string().c_str());
    }
    if (hudChanges) {
        std::printf("HUD changes: %s\n", hudChanges->path().string().c_str());
    }
    std::fflush(stdout);
    // The plugin stays loaded: the game's code now calls into it.
    return timeline.failures() == 0 ? 0 : 1;
}
