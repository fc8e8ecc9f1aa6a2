// What the look at the settings file costs the game's thread: a full pass
// before the look is due (one comparison), a look that finds the file as it
// was read (under Windows the file system's attributes of a real file in the
// current directory; natively there is no file and only the logic runs), and
// under Windows a look that finds the file saved and reads it again.

#include "settings/Settings.h"
#include "settings/SettingsFileWatch.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

const std::filesystem::path kSettingsFile = std::filesystem::path("Data") / "Zorvik" / "Plugins" / "LumenveilHUD.ini";

void WriteSettingsFile(int keepShownMs)
{
    std::filesystem::create_directories(kSettingsFile.parent_path());
    std::ofstream(kSettingsFile, std::ios::binary | std::ios::trunc)
        << "[Settings]\r\nbLogging=0\r\nbReloadSettingsOnChange=1\r\niKeepHUDShownMS=" << keepShownMs << "\r\n";
}

// The file written and read by a save load, logging off, and the next look
// due at `now`.
Clock::Nanoseconds ReadBySaveLoad()
{
    Settings.RestoreInitialValues();
    Settings.bLogging = false;
    SettingsFileWatch = SettingsFileWatchRecord{};
    WriteSettingsFile(1000);
    ReloadINI();
    return Clock::FromMilliseconds(3'600'000);
}

void BM_SettingsFileLookNotDue(benchmark::State& state)
{
    const Clock::Nanoseconds now = ReadBySaveLoad();
    CheckSettingsFile(now);
    for (auto _ : state) {
        CheckSettingsFile(now);
    }
}
BENCHMARK(BM_SettingsFileLookNotDue);

void BM_SettingsFileLookUnchanged(benchmark::State& state)
{
    Clock::Nanoseconds now = ReadBySaveLoad();
    for (auto _ : state) {
        CheckSettingsFile(now);
        now += Clock::FromMilliseconds(1000);
    }
#ifdef _WIN32
    if (!SettingsFileWatch.inForce.present || Settings->iKeepHUDShownMS != 1000) {
        state.SkipWithError("the settings file was not found or not read");
    }
#endif
}
BENCHMARK(BM_SettingsFileLookUnchanged);

#ifdef _WIN32
// Saved before each look (not timed), each save a second after the last: the
// look, the probe that the file opens, the reading of every key and the
// settings put in force.
void BM_SettingsFileLookAndReload(benchmark::State& state)
{
    Clock::Nanoseconds now = ReadBySaveLoad();
    auto saved = std::filesystem::last_write_time(kSettingsFile);
    int keepShownMs = 1000;
    for (auto _ : state) {
        state.PauseTiming();
        keepShownMs = keepShownMs == 1000 ? 2000 : 1000;
        WriteSettingsFile(keepShownMs);
        saved += std::chrono::seconds(1);
        std::filesystem::last_write_time(kSettingsFile, saved);
        state.ResumeTiming();
        CheckSettingsFile(now);
        now += Clock::FromMilliseconds(1000);
    }
    if (Settings->iKeepHUDShownMS != keepShownMs) {
        state.SkipWithError("the saved file was not read");
    }
}
BENCHMARK(BM_SettingsFileLookAndReload)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace
