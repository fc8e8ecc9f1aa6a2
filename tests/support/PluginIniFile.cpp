#include "support/PluginIniFile.h"

#include <windows.h>

#include <fstream>

std::filesystem::path PluginIniFile::path()
{
    return std::filesystem::path("Data") / "Zorvik" / "Plugins" / "LumenveilHUD.ini";
}

void PluginIniFile::write(std::string_view text)
{
    std::filesystem::create_directories(path().parent_path());
    {
        std::ofstream out(path(), std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    give_new_timestamp();
}

void PluginIniFile::copy_from(const std::filesystem::path& source)
{
    std::filesystem::create_directories(path().parent_path());
    std::filesystem::copy_file(source, path(), std::filesystem::copy_options::overwrite_existing);
    give_new_timestamp();
}

void PluginIniFile::remove()
{
    std::filesystem::remove(path());
}

void PluginIniFile::give_new_timestamp()
{
    // Start from a fixed day and add a minute per write: unique for the life
    // of the test process, whatever the wall clock does.
    static ULONGLONG ticks = 130'000'000'000'000'000ULL;
    ticks += 60ULL * 10'000'000ULL;
    const FILETIME stamp{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    const HANDLE file = CreateFileW(path().c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        SetFileTime(file, nullptr, nullptr, &stamp);
        CloseHandle(file);
    }
}
