#pragma once

#include <filesystem>
#include <string_view>

// The plugin's INI file under the current directory:
// Data\Zorvik\Plugins\LumenveilHUD.ini. Wine keeps INI files it has read by
// path and time: a test writes it once, in a game folder of its own.
class PluginIniFile {
public:
    [[nodiscard]] static std::filesystem::path path();
    // Writes the file with `text` as its whole content.
    static void write(std::string_view text);
    static void copy_from(const std::filesystem::path& source);
};
