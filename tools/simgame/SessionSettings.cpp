#include "SessionSettings.h"

#include "SessionFiles.h"

#include <cstdio>
#include <string>

namespace sim {

std::optional<PlaySettings> PutSessionSettings(const Options& options, bool playersIni,
                                               const std::filesystem::path& gameFolder)
{
    PlaySettings play;
    play.iniSource = options.ini;
    play.iniTarget = gameFolder / "Data" / "Zorvik" / "Plugins" / "LumenveilHUD.ini";
    const IniOverrides overrides = options.fast ? FastSessionOverrides() : IniOverrides{};
    // A player's file goes into the game folder byte for byte.
    const bool written =
        options.fast ? WriteIni(options.ini, play.iniTarget, overrides) : CopyIni(options.ini, play.iniTarget);
    if (!written) {
        std::fprintf(stderr, "cannot read the settings file %s\n", options.ini.filename().string().c_str());
        return std::nullopt;
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
    return play;
}

}  // namespace sim
