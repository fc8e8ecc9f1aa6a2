#include "support/PluginIniFile.h"

#include <fstream>

std::filesystem::path PluginIniFile::path()
{
    return std::filesystem::path("Data") / "Zorvik" / "Plugins" / "LumenveilHUD.ini";
}

void PluginIniFile::write(std::string_view text)
{
    std::filesystem::create_directories(path().parent_path());
    std::ofstream(path(), std::ios::binary | std::ios::trunc)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
}

void PluginIniFile::copy_from(const std::filesystem::path& source)
{
    std::filesystem::create_directories(path().parent_path());
    std::filesystem::copy_file(source, path(), std::filesystem::copy_options::overwrite_existing);
}
