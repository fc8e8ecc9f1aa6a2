#include "settings/SettingsFileWatch.h"

#include "PluginLog.h"
#include "settings/Settings.h"

#include <mutex>

namespace {

constexpr Clock::Nanoseconds kCheckInterval = Clock::FromMilliseconds(1000);
// An editor still writing is left alone after this many readings that each
// saw the file change under them; the next check looks again.
constexpr int kReadingsPerCheck = 3;

// Held for a whole reload, so that two reloads (a save load's and a check's)
// never publish their fields interleaved. The save load waits for it; the
// game's thread never does.
std::mutex reloadInProgress;

}  // namespace

void ReloadINI()
{
    const std::lock_guard reload(reloadInProgress);
    // Stamped before the reading: a save during it leaves the stamp behind the
    // file, and the next check reads the file again.
    const SettingsFileStamp stamp = settingsFileSystem.stamp();
    ReloadINI(SettingsFileReader);
    SettingsFileWatch.fileRead = true;
    SettingsFileWatch.inForce = stamp;
}

void CheckSettingsFile(Clock::Nanoseconds now)
{
    if (!Settings->bReloadSettingsOnChange) {
        return;
    }
    Clock::Nanoseconds due = SettingsFileWatch.nextCheckTime;
    if (now - due < 0 || !SettingsFileWatch.nextCheckTime.CompareExchange(due, now + kCheckInterval)) {
        return;
    }
    const std::unique_lock reload(reloadInProgress, std::try_to_lock);
    if (!reload.owns_lock() || !SettingsFileWatch.fileRead) {
        return;
    }
    SettingsFileStamp before = settingsFileSystem.stamp();
    for (int reading = 0; reading < kReadingsPerCheck; ++reading) {
        if (!before.present || before == SettingsFileWatch.inForce || !settingsFileSystem.opens()) {
            return;
        }
        // An editor saving in two steps empties the file before it writes it:
        // read now, every default would apply until the next look. Found so
        // twice with the same stamp, the file is meant empty.
        if (before.size == 0 && before != SettingsFileWatch.foundEmpty) {
            SettingsFileWatch.foundEmpty = before;
            return;
        }
        const SettingsReading read = ReadSettings(SettingsFileReader);
        const SettingsFileStamp after = settingsFileSystem.stamp();
        if (after == before) {
            LOG_INFO("settings file changed, reloading");
            ReloadINI(read);
            SettingsFileWatch.inForce = after;
            return;
        }
        before = after;
    }
}
