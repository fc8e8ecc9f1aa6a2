#include "SimOptions.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace sim {

namespace {

std::filesystem::path ProgramFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    return std::filesystem::path(path).parent_path();
}

}  // namespace

void PrintUsage()
{
    std::printf(
        "usage: LumenveilSim [options]\n"
        "  --dll PATH             the plugin DLL (default: LumenveilHUD.dll beside this program)\n"
        "  --ini PATH             your settings file, played as written (default: the shipped LumenveilHUD.ini\n"
        "                         beside the DLL)\n"
        "  --scenario PATH        the session to play (default: scenarios\\tour.scenario beside this program)\n"
        "  --game-folder PATH     the game folder to play in (default: the current folder)\n"
        "  --fast                 the shipped settings with short delays, logging on and F1 as the toggle key\n"
        "                         written over them: the test session of about 25 s (not with --ini)\n"
        "  --load-only            load and install, run one second of frames, no scenario\n"
        "  --measure-hook         time the hooked per-frame call against a direct call, no scenario\n"
        "  --no-messaging         serve no messaging interface\n"
        "  --refuse-listener      refuse the listener registration\n"
        "  --no-trampoline        serve no trampoline interface\n"
        "  --missing-object WHAT  ui, player or form: the game lacks it when the data is loaded; the\n"
        "                         plugin is expected to end the game with exit status 0 then\n"
        "Exit status: 0 when every expectation held, 1 when one failed, 2 when the session could not start\n"
        "(a bad option, a bad scenario line, a settings file that cannot be read).\n");
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
        if (arg == "--dll" || arg == "--ini" || arg == "--scenario" || arg == "--game-folder" ||
            arg == "--missing-object") {
            const auto text = value();
            if (!text) {
                return std::nullopt;
            }
            if (arg == "--dll") {
                options.dll = *text;
            } else if (arg == "--ini") {
                options.ini = *text;
            } else if (arg == "--scenario") {
                options.scenario = *text;
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
    // The short delays are the test session's own: a player's file plays as
    // the plugin reads it.
    if (options.fast && !options.ini.empty()) {
        std::fprintf(stderr, "--fast plays the shipped settings only; your settings file plays as written\n");
        return std::nullopt;
    }
    return options;
}

Options WithDefaultFiles(Options options)
{
    if (options.dll.empty()) {
        options.dll = ProgramFolder() / "LumenveilHUD.dll";
    }
    options.dll = std::filesystem::absolute(options.dll);
    if (options.ini.empty()) {
        options.ini = options.dll.parent_path() / "LumenveilHUD.ini";
    }
    options.ini = std::filesystem::absolute(options.ini);
    if (options.scenario.empty()) {
        options.scenario = ProgramFolder() / "scenarios" / "tour.scenario";
    }
    return options;
}

}  // namespace sim
