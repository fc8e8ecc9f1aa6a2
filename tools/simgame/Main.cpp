// The simulated game: loads the plugin DLL as the loader would, plays a
// scripted session against it in real time and prints what the plugin did.

#include "FakeGame.h"
#include "FakeLoader.h"
#include "PlaySession.h"
#include "Session.h"
#include "SessionFiles.h"
#include "Zorvik/PluginVersionData.h"
#include "game/IDs.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kExitSetupFailed = 2;
constexpr int kFastKeepShownMs = 300;
constexpr int kFastKeepShownLongMs = 1000;
constexpr int kSmokeMs = 1000;

struct Options {
    std::filesystem::path dll;
    std::filesystem::path ini;
    std::filesystem::path gameFolder;
    bool fast = false;
    bool loadOnly = false;
    bool measureHook = false;
    FakeLoader::Options loader;
    std::string missingObject;  // "ui", "player" or "form"
};

void PrintUsage()
{
    std::printf(
        "usage: LumenveilSim [options]\n"
        "  --dll PATH             the plugin DLL (default: LumenveilHUD.dll beside this program)\n"
        "  --ini PATH             the settings the session starts from (default: LumenveilHUD.ini beside the DLL)\n"
        "  --game-folder PATH     the game folder to play in (default: the current folder)\n"
        "  --fast                 short keep-shown delays, for a session of about 20 s\n"
        "  --load-only            load and install, run one second of frames, no scripted session\n"
        "  --measure-hook         time the hooked per-frame call against a direct call, no scripted session\n"
        "  --no-messaging         serve no messaging interface\n"
        "  --refuse-listener      refuse the listener registration\n"
        "  --no-trampoline        serve no trampoline interface\n"
        "  --missing-object WHAT  ui, player or form: the game lacks it when the data is loaded; the\n"
        "                         plugin is expected to end the game with exit status 0 then\n"
        "Exit status: 0 when every expectation held, 1 when one failed, 2 when the session could not start.\n");
}

std::optional<Options> ParseOptions(int argc, char** argv)
{
    Options options;
    std::vector<std::string_view> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "%.*s needs a value\n", static_cast<int>(arg.size()), arg.data());
                return std::nullopt;
            }
            return std::string(args[++i]);
        };
        if (arg == "--dll" || arg == "--ini" || arg == "--game-folder" || arg == "--missing-object") {
            const auto text = value();
            if (!text) {
                return std::nullopt;
            }
            if (arg == "--dll") {
                options.dll = *text;
            } else if (arg == "--ini") {
                options.ini = *text;
            } else if (arg == "--game-folder") {
                options.gameFolder = *text;
            } else if (*text == "ui" || *text == "player" || *text == "form") {
                options.missingObject = *text;
            } else {
                std::fprintf(stderr, "--missing-object takes ui, player or form\n");
                return std::nullopt;
            }
        } else if (arg == "--help") {
            PrintUsage();
            std::exit(0);
        } else if (arg == "--fast") {
            options.fast = true;
        } else if (arg == "--load-only") {
            options.loadOnly = true;
        } else if (arg == "--measure-hook") {
            options.measureHook = true;
        } else if (arg == "--no-messaging") {
            options.loader.serveMessaging = false;
        } else if (arg == "--refuse-listener") {
            options.loader.acceptListener = false;
        } else if (arg == "--no-trampoline") {
            options.loader.serveTrampoline = false;
        } else {
            std::fprintf(stderr, "unknown option %.*s\n", static_cast<int>(arg.size()), arg.data());
            return std::nullopt;
        }
    }
    return options;
}

std::filesystem::path ProgramFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    return std::filesystem::path(path).parent_path();
}

// The absolute target of the 5-byte call at `site`.
std::uintptr_t CallTarget(std::uintptr_t site)
{
    std::int32_t displacement = 0;
    std::memcpy(&displacement, reinterpret_cast<const void*>(site + 1), sizeof(displacement));
    return site + 5 + static_cast<std::uintptr_t>(static_cast<std::intptr_t>(displacement));
}

int IniMilliseconds(const std::filesystem::path& ini, const char* key, int fallback)
{
    const auto text = sim::ReadIniValue(ini, key);
    if (!text) {
        return fallback;
    }
    try {
        return std::stoi(*text);
    } catch (const std::exception&) {
        return fallback;
    }
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
    return FakeGame::PerFrameFunction() + RE::ID::kMainLoopCallOffset;
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
    const std::uintptr_t target = CallTarget(site);
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
        for (const std::uint64_t id :
             {RE::ID::SaveLoadEventSource, RE::ID::SubtitleHiddenEventSource, RE::ID::SubtitleShownEventSource,
              RE::ID::LocationTextEventSource, RE::ID::TraitDiscoveryTextEventSource,
              RE::ID::MissionActiveWidgetEventSource, RE::ID::LevelUpWidgetEventSource}) {
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
    const auto parsed = ParseOptions(argc, argv);
    if (!parsed) {
        PrintUsage();
        return kExitSetupFailed;
    }
    Options options = *parsed;
    if (options.dll.empty()) {
        options.dll = ProgramFolder() / "LumenveilHUD.dll";
    }
    options.dll = std::filesystem::absolute(options.dll);
    if (options.ini.empty()) {
        options.ini = options.dll.parent_path() / "LumenveilHUD.ini";
    }
    options.ini = std::filesystem::absolute(options.ini);
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
    play.keepShownMs = options.fast ? kFastKeepShownMs : IniMilliseconds(options.ini, "iKeepHUDShownMS", 2000);
    play.keepShownLongMs =
        options.fast ? kFastKeepShownLongMs : IniMilliseconds(options.ini, "iKeepHUDShownLongMS", 7500);
    if (!sim::WriteIni(options.ini, play.iniTarget, sim::SessionIniOverrides(play))) {
        std::fprintf(stderr, "cannot read the settings file %s\n", options.ini.filename().string().c_str());
        return kExitSetupFailed;
    }
    std::printf("session settings: logging on, iKeepHUDShownMS=%d, iKeepHUDShownLongMS=%d, toggle key %s\n",
                play.keepShownMs, play.keepShownLongMs, sim::HexKey(play.toggleKey).c_str());

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
    const std::uintptr_t originalTarget = CallTarget(HookedCallSite());

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
    const bool installs = options.loader.serveMessaging && options.loader.acceptListener;
    timeline.Check(sent == installs, installs ? "a listener was registered and got the message"
                                              : "no listener was registered: the plugin never installs");

    CheckSinks(timeline, game, installs, options.missingObject != "ui");

    std::uint64_t framesBefore = FakeGame::FramesReached();
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
        sim::PlayScriptedSession(game, session, timeline, play);
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
    std::fflush(stdout);
    // The plugin stays loaded: the game's code now calls into it.
    return timeline.failures() == 0 ? 0 : 1;
}
