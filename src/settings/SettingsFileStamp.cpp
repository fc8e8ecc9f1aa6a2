#include "settings/SettingsFileStamp.h"

#include "settings/IniFile.h"
#include "settings/Settings.h"

#include <windows.h>

#include <string>

namespace {

const std::string& SettingsFilePath()
{
    static const std::string path = IniFilePath(kSettingsFileName);
    return path;
}

std::uint64_t Ticks(const FILETIME& time)
{
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32U) | time.dwLowDateTime;
}

}  // namespace

SettingsFileStamp StampSettingsFile()
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExA(SettingsFilePath().c_str(), GetFileExInfoStandard, &data) == 0 ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return {};
    }
    return {.present = true,
            .lastWriteTime = Ticks(data.ftLastWriteTime),
            .creationTime = Ticks(data.ftCreationTime),
            .size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32U) | data.nFileSizeLow};
}

bool SettingsFileOpens()
{
    // Shared every way, so that the probe never stands in an editor's way.
    const HANDLE file =
        CreateFileA(SettingsFilePath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}
