#pragma once

#include <filesystem>
#include <string_view>

// The plugin's INI file under the current directory:
// Data\Zorvik\Plugins\LumenveilHUD.ini.
class PluginIniFile {
public:
    [[nodiscard]] static std::filesystem::path path();

    // Writes the file with `text` as its whole content. Wine caches INI files
    // by modification time, so every write moves the time forward explicitly:
    // a rewrite within the same second is still read anew, with no sleeping.
    static void write(std::string_view text);
    static void copy_from(const std::filesystem::path& source);
    static void remove();

private:
    static void give_new_timestamp();
};
