#include "settings/IniFile.h"

#include "settings/Settings.h"

#include <windows.h>

#include <cstddef>
#include <utility>

namespace {

constexpr const char* kPluginFolder = ".\\Data\\Zorvik\\Plugins\\";
constexpr std::size_t kPathBufferSize = 255;
constexpr DWORD kValueBufferSize = 10000;

}  // namespace

std::string IniFilePath(std::string fileName)
{
    return kPluginFolder + fileName + ".ini";
}

std::string ReadIniValue(std::string fileName, std::string section, std::string key)
{
    if (fileName.empty() || section.empty() || key.empty()) {
        return {};
    }
    const std::string path = IniFilePath(std::move(fileName));
    // Any failure to find the file (absent, access denied) counts as missing.
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES || path.size() >= kPathBufferSize) {
        return {};
    }
    std::string value(kValueBufferSize, '\0');
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value.data(), kValueBufferSize, path.c_str());
    value.resize(std::char_traits<char>::length(value.c_str()));
    return value;
}
