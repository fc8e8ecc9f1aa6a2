// The simulated game: loads the plugin DLL as the loader would, plays a
// scripted session against it in real time and prints what the plugin did.

#include "FakeGame.h"
#include "FakeLoader.h"
#include "GameFacts.h"
#include "HudChangeRecord.h"
#include "PlaySession.h"
#include "Scenario.h"
#include "ScenarioPlayer.h"
#include "Session.h"
#include "SessionFiles.h"
#include "SimOptions.h"
#include "Zorvik/BranchTarget.h"
#include "Zorvik/PluginVersionData.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kExitSetupFailed = 2;
constexpr int kSmokeMs = 1000;

std::filesystem::path ProgramFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    return std::filesystem::path(path).parent_path();
}

// The newest log file in the plugin's log folder.
std::optional<std::filesystem::path> PluginLogFile()
{
    const auto folder = sim::LogTail::LogFolder();
    std::error_code error;
    if (!folder || !std::filesystem::is_directory(*folder, error)) {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> newest;
    std::filesystem::file_time_type newestTime{};
    for (const auto& entry : std::filesystem::directory_iterator(*folder, error)) {
        if (entry.path().extension() == ".log" && (!newest || entry.last_write_time() > newestTime)) {
            newest = entry.path();
            newestTime = entry.last_write_time();
        }
    }
    return newest;
}

// The plugin ends the game inside the data-loaded message when an object is
// missing, so what it logged is checked as the process exits.
struct ShutdownExpectation {
    sim::Timeline* timeline = nullptr;
    sim::LogTail* log = nullptr;
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
        logged = logged || sim::LogMessage(line) == expected;
    }
    if (!timeline->Check(logged, "the plugin ended the game with the line \"" + expected + "\"")) {
        std::printf("\n%d checks, %d failed\n", timeline->checks(), timeline->failures());
    }
    std::fflush(stdout);
}

std::uintptr_t HookedCallSite()
{
    return FakeGame::PerFrameCallSite();
}

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
void CheckPatchedCall(sim::Timeline& timeline, const FakeLoader& loader, bool servedTrampoline,
                      std::uintptr_t originalTarget)
{
    const std::uintptr_t site = HookedCallSite();
    const std::uintptr_t target = Zorvik::branch_target(site);
    const bool inLoaderSpace = loader.branchSpace() != 0 && target >= loader.branchSpace() &&
                               target < loader.branchSpace() + loader.branchSpaceSize();
    timeline.Check(*reinterpret_cast<const std::uint8_t*>(site) == 0xE8 && target != originalTarget,
                   "the per-frame call is patched");
    timeline.Check(servedTrampoline == inLoaderSpace, servedTrampoline
                                                          ? "the patched call goes through the loader's branch space"
                                                          : "the patched call goes through the plugin's own block");
}

// Every sink once, distinct and non-null, registered in the plugin's order:
// the UI's menu source first (skipped without a UI), then the seven sources.
void CheckSinks(sim::Timeline& timeline, FakeGame& game, bool installed, bool uiPresent)
{
    std::vector<const void*> expected;
    if (installed) {
        if (uiPresent) {
            expected.push_back(game.MenuOpenCloseSource());
        }
        for (const std::uint64_t id : game_facts::kEventSourceIDs) {
            expected.push_back(FakeGame::EventSource(id));
        }
    }
    std::vector<const void*> sources;
    std::vector<const void*> sinks;
    for (const auto& [source, sink] : game.registeredSinks) {
        sources.push_back(source);
        sinks.push_back(sink);
    }
    std::sort(sinks.begin(), sinks.end());
    const bool distinct = std::adjacent_find(sinks.begin(), sinks.end()) == sinks.end() &&
                          std::find(sinks.begin(), sinks.end(), nullptr) == sinks.end();
    timeline.Check(sources == expected && distinct,
                   std::to_string(expected.size()) + " sinks registered, one each, in order");
}

std::string Joined(const std::vector<std::string>& items)
{
    std::string text;
    for (const auto& item : items) {
        text += (text.empty() ? "" : ", ") + item;
    }
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    const auto parsed = sim::ParseOptions(argc, argv);
    if (!parsed) {
        sim::PrintUsage();
        return kExitSetupFailed;
    }
    sim::Options options = *parsed;
    if (options.dll.empty()) {
        options.dll = ProgramFolder() / "LumenveilHUD.dll";
    }
    options.dll = std::filesystem::absolute(options.dll);
    const bool playersIni = !options.ini.empty();
    if (!playersIni) {
        options.ini = options.dll.parent_path() / "LumenveilHUD.ini";
    }
    options.ini = std::filesystem::absolute(options.ini);
    if (options.scenario.empty()) {
        options.scenario = ProgramFolder() / "scenarios" / "tour.scenario";
    }
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

    sim::PlaySettings play;
    play.iniSource = options.ini;
    play.iniTarget = gameFolder / "Data" / "Zorvik" / "Plugins" / "LumenveilHUD.ini";
    const sim::IniOverrides overrides = options.fast ? sim::FastSessionOverrides() : sim::IniOverrides{};
    // A player's file goes into the game folder byte for byte.
    const bool written = options.fast ? sim::WriteIni(options.ini, play.iniTarget, overrides)
                                      : sim::CopyIni(options.ini, play.iniTarget);
    if (!written) {
        std::fprintf(stderr, "cannot read the settings file %s\n", options.ini.filename().string().c_str());
        return kExitSetupFailed;
    }
    if (options.fast) {
        std::string changed;
        for (const auto& [key, value] : overrides) {
            changed += " " + key + "=" + value;
        }
        std::printf("session settings: the shipped file with%s written over it (--fast)\n", changed.c_str());
    } else {
        std::printf("session settings: %s %s, as written\n", playersIni ? "your file" : "the shipped file",
                    options.ini.filename().string().c_str());
    }
    if (playsScenario) {
        std::printf("scenario: %s, %zu steps\n", options.scenario.filename().string().c_str(), scenario.steps.size());
    }

    HMODULE plugin = LoadLibraryW(options.dll.wstring().c_str());
    if (plugin == nullptr) {
        std::fprintf(stderr, "cannot load %s (error %lu)\n", options.dll.filename().string().c_str(), GetLastError());
        return kExitSetupFailed;
    }
    const auto* record = reinterpret_cast<const Zorvik::PluginVersionData*>(
        reinterpret_cast<void*>(GetProcAddress(plugin, "ZorvikPlugin_Version")));
    using LoadFunction = bool (*)(const Zorvik::LoadInterface*);
    const auto load =
        reinterpret_cast<LoadFunction>(reinterpret_cast<void*>(GetProcAddress(plugin, "ZorvikPlugin_Load")));
    if (record == nullptr || load == nullptr) {
        std::fprintf(stderr, "the DLL exports no ZorvikPlugin_Version or ZorvikPlugin_Load\n");
        return kExitSetupFailed;
    }
    const auto version = Zorvik::PackedVersion::unpack(record->pluginVersion);
    std::printf("plugin: %.*s, version %u.%u.%u.%u\n", static_cast<int>(strnlen(record->name.data(), 256)),
                record->name.data(), version.major, version.minor, version.patch, version.build);

    sim::Timeline timeline;
    const std::uintptr_t originalTarget = Zorvik::branch_target(HookedCallSite());

    FakeLoader loader(options.loader);
    timeline.Step("the loader calls ZorvikPlugin_Load");
    const bool loaded = load(loader.loadInterface());
    timeline.Check(loaded, "ZorvikPlugin_Load returned true");
    timeline.Event("loader", "calls: " + Joined(loader.calls()));

    const auto expectedCalls = ExpectedLoaderCalls(options.loader);
    timeline.Check(loader.calls() == expectedCalls, "load protocol in order: " + Joined(expectedCalls));
    CheckPatchedCall(timeline, loader, options.loader.serveTrampoline, originalTarget);

    sim::LogTail log;
    if (const auto file = PluginLogFile()) {
        log.Follow(*file);
    } else {
        timeline.Check(false, "the plugin's log file exists");
    }
    sim::Session session(game, timeline, log);

    if (options.missingObject == "ui") {
        game.SetGameUIPointer(nullptr);
    } else if (options.missingObject == "player") {
        game.SetGamePlayerPointer(nullptr);
    } else if (options.missingObject == "form") {
        game.SetFormMissing(fake::kMQ305FormID);
    }
    if (!options.missingObject.empty()) {
        timeline.Step("the game lacks its " + options.missingObject +
                      " object: the plugin must end the game with status 0 when it looks it up");
        shutdownExpectation = {&timeline, &log, ShutdownLineFor(options.missingObject)};
        std::atexit(&CheckShutdownLineAtExit);
    }

    timeline.Step("the loader reports the game's data loaded");
    const bool sent = loader.SendDataLoaded();
    timeline.Check(sent == installs, installs ? "a listener was registered and got the message"
                                              : "no listener was registered: the plugin never installs");

    CheckSinks(timeline, game, installs, options.missingObject != "ui");

    std::uint64_t framesBefore = FakeGame::FramesReached();
    std::optional<sim::HudChangeRecord> hudChanges;
    std::optional<sim::ScenarioPlayer> player;
    if (playsScenario) {
        hudChanges.emplace(gameFolder);
        player.emplace(game, session, timeline, play, *hudChanges);
    }
    session.Play(100);
    timeline.Check(session.framesRun() > 0 && FakeGame::FramesReached() - framesBefore == session.framesRun() &&
                       session.wrongAnswers() == 0,
                   std::to_string(session.framesRun()) +
                       " frames reached the per-frame function through the thunk, argument and result intact");

    if (!options.missingObject.empty()) {
        // The plugin ends the game (status 0) while it looks the objects up,
        // inside the message: reaching this line is the failure.
        timeline.Check(false, "the plugin ended the game when it found the object missing");
    } else if (!installs || options.loadOnly) {
        timeline.Step("the game plays on");
        const bool untouched = session.PlayWhile(kSmokeMs, [&] { return game.hudVisibleCalls.empty(); });
        if (!installs) {
            timeline.Check(untouched && session.LogHas("result = [Exiting] | UISingleton is nullptr"),
                           "the decision runs from the hooked call, finds no game objects and leaves the HUD alone");
            timeline.Check(session.LogHas("Failed to register messaging listener"),
                           "the plugin logged the failed registration");
        } else {
            // Inside the grace period: the pass runs and leaves the HUD be.
            timeline.Check(untouched && session.LogHas("result = [show] | UnityInProcess"),
                           "the decision runs from the hooked call");
        }
    } else if (options.measureHook) {
        framesBefore += sim::MeasureHookedCall(game, session, timeline, play);
    } else {
        player->Play(scenario.steps);
    }

    timeline.Check(FakeGame::FramesReached() - framesBefore == session.framesRun() && session.wrongAnswers() == 0,
                   "every frame of the session reached the per-frame function intact");
    timeline.Check(game.faults().empty(), "the game saw no call it would not survive" +
                                              (game.faults().empty() ? std::string() : ": " + game.faults().front()));
    timeline.Check(game.LiveGameStrings() == 0, "every game string the plugin made was released");

    std::printf("\n%d checks, %d failed\n", timeline.checks(), timeline.failures());
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
