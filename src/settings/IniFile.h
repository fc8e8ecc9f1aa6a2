#pragma once

#include <string>

// The value text of `key` in `section` of the plugin folder's "<fileName>.ini",
// relative to the current directory (the game's folder). Empty when an argument
// is empty, the file is missing, or the key has no value.
[[nodiscard]] std::string ReadIniValue(std::string fileName, std::string section, std::string key);

// The path ReadIniValue reads for `fileName`: the plugin folder under the
// current directory, then "<fileName>.ini".
[[nodiscard]] std::string IniFilePath(std::string fileName);
