// Prints the settings the plugin's own reading gives, for the companion page's
// equivalence test to compare with the page's reading of the same inputs.
//
//   settingsprobe values   each line of standard input holds the 26 value
//                          texts, hexadecimal-encoded and tab-separated, in
//                          the order of kKeys; one reload per line
//   settingsprobe ini      (Windows) each line of standard input names an INI
//                          file, which becomes the plugin's settings file in
//                          the current folder before one reload of the real file
//
// Every reload prints one line: the 26 stored values in the order of kKeys,
// tab-separated; booleans 0 or 1, integers in decimal, floats as "f" and the
// eight hexadecimal digits of their bits, so that -0 and every rounding show.

#include "settings/Settings.h"
#include "settings/SettingsFileWatch.h"

#include <spdlog/sinks/null_sink.h>
#include <spdlog/spdlog.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <filesystem>
#endif

namespace {

struct ProbedKey {
    const char* key;
    std::function<std::string()> stored;
};

std::string Text(bool value)
{
    return value ? "1" : "0";
}

std::string Text(std::int32_t value)
{
    return std::to_string(value);
}

std::string Text(float value)
{
    char bits[16];
    std::snprintf(bits, sizeof(bits), "f%08X", static_cast<unsigned>(std::bit_cast<std::uint32_t>(value)));
    return bits;
}

// clang-format off
#define PROBED(field) ProbedKey{#field, [] { return Text(Settings->field); }}
// clang-format on

// The keys as the shipped file names them, in the plugin's reading order.
const std::vector<ProbedKey> kKeys{
    ProbedKey{"bLogging", [] { return Text(Settings.bLogging.load()); }},
    PROBED(bShowInCombat),
    PROBED(bShowWhileSneaking),
    PROBED(bShowWhileWeaponDrawn),
    PROBED(bShowInSubtitles),
    PROBED(bShowLocationDiscovered),
    PROBED(bShowPlanetTraitDiscovered),
    PROBED(bShowMissionActive),
    PROBED(bShowIfOverencumbered),
    PROBED(bShowIfJumping),
    PROBED(bShowWhenHostilesAreNearby),
    PROBED(iKeepHUDShownMS),
    PROBED(iKeepHUDShownLongMS),
    PROBED(fShowBelowHealthPercent),
    PROBED(fShowBelowOxygenPercent),
    PROBED(fShowBelowBoostPackPercent),
    PROBED(iMenuOverriderShipHUDMenu),
    PROBED(iMenuOverriderHandscannerMenu),
    PROBED(bShowInLandVehicle),
    PROBED(iHUDToggle),
    PROBED(iHUDToggleGamepad),
    PROBED(iHUDToggleMinRequiredTimeSinceLastTogglePress),
    PROBED(iHUDToggleMinHoldTime),
    PROBED(iVehicleAimKeyDown),
    PROBED(bPlayUIFeedbackSounds),
    PROBED(bShowIfAutoAimTargetIsNotActivatable),
    PROBED(bShowIfAutoAimTargetIsHarvestedFlora),
    PROBED(bReloadSettingsOnChange),
};

#undef PROBED

void PrintStored()
{
    std::string line;
    for (const auto& probed : kKeys) {
        if (!line.empty()) {
            line += '\t';
        }
        line += probed.stored();
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
}

// Logging stays off before every reload: a value of 1 for bLogging would
// otherwise write the read values among the probe's own output.
void Reload(const std::function<void()>& reload)
{
    Settings.bLogging = false;
    reload();
    PrintStored();
}

std::optional<std::string> FromHex(std::string_view hex)
{
    if (hex.size() % 2 != 0) {
        return std::nullopt;
    }
    const auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        return -1;
    };
    std::string text;
    for (std::size_t at = 0; at < hex.size(); at += 2) {
        const int high = nibble(hex[at]);
        const int low = nibble(hex[at + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        text += static_cast<char>(high * 16 + low);
    }
    return text;
}

std::vector<std::string> current;

std::string ReadCurrent(std::string, std::string, std::string key)
{
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        if (key == kKeys[i].key) {
            return current[i];
        }
    }
    return {};
}

int ProbeValues()
{
    std::string line;
    for (int number = 1; std::getline(std::cin, line); ++number) {
        current.clear();
        for (std::size_t start = 0; start <= line.size();) {
            const auto end = std::min(line.find('\t', start), line.size());
            const auto text = FromHex(std::string_view(line).substr(start, end - start));
            if (!text) {
                std::fprintf(stderr, "line %d: a value is not lower-case hexadecimal\n", number);
                return 2;
            }
            current.push_back(*text);
            start = end + 1;
        }
        if (current.size() != kKeys.size()) {
            std::fprintf(stderr, "line %d: %zu values, %zu expected\n", number, current.size(), kKeys.size());
            return 2;
        }
        Reload([] { ReloadINI(&ReadCurrent); });
    }
    return 0;
}

#ifdef _WIN32
int ProbeIniFiles()
{
    const std::filesystem::path plugins = std::filesystem::path("Data") / "Zorvik" / "Plugins";
    const std::filesystem::path settingsFile = plugins / "LumenveilHUD.ini";
    std::filesystem::create_directories(plugins);
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        // CopyFileA rather than std::filesystem, whose overwrite fails under Wine.
        if (CopyFileA(line.c_str(), settingsFile.string().c_str(), FALSE) == 0) {
            std::fprintf(stderr, "cannot copy %s: error %lu\n", line.c_str(), GetLastError());
            return 2;
        }
        // The system keeps the last INI file it read in a cache; all three
        // arguments null flushes it, so each reload reads the new file.
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, settingsFile.string().c_str());
        Reload([] { ReloadINI(); });
    }
    return 0;
}
#endif

}  // namespace

int main(int argc, char** argv)
{
    spdlog::set_default_logger(
        std::make_shared<spdlog::logger>("probe", std::make_shared<spdlog::sinks::null_sink_mt>()));
    const std::string_view mode = argc == 2 ? argv[1] : "";
    if (mode == "values") {
        return ProbeValues();
    }
#ifdef _WIN32
    if (mode == "ini") {
        return ProbeIniFiles();
    }
    std::fprintf(stderr, "usage: settingsprobe values|ini\n");
#else
    std::fprintf(stderr, "usage: settingsprobe values\n");
#endif
    return 2;
}
