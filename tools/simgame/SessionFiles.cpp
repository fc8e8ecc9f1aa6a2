#include "SessionFiles.h"

#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

namespace sim {

namespace {

std::string Trim(const std::string& text)
{
    const auto begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos) {
        return {};
    }
    const auto end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

bool IsSection(const std::string& line)
{
    const std::string trimmed = Trim(line);
    return !trimmed.empty() && trimmed.front() == '[';
}

// The key of a "key=value" line, or empty.
std::string KeyOf(const std::string& line)
{
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') {
        return {};
    }
    const auto equals = trimmed.find('=');
    return equals == std::string::npos ? std::string() : Trim(trimmed.substr(0, equals));
}

// Keys match without regard to case, as the system's INI reader matches them.
bool SameKey(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

bool WriteIni(const std::filesystem::path& source, const std::filesystem::path& target, const IniOverrides& overrides)
{
    std::ifstream in(source);
    if (!in) {
        return false;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }

    std::set<std::string> written;
    std::ostringstream out;
    bool inSettings = false;
    const auto appendMissing = [&] {
        for (const auto& [key, value] : overrides) {
            if (written.insert(key).second) {
                out << key << '=' << value << "\r\n";
            }
        }
    };
    for (const std::string& line : lines) {
        if (IsSection(line)) {
            if (inSettings) {
                appendMissing();
            }
            inSettings = SameKey(Trim(line), "[Settings]");
            out << line << "\r\n";
            continue;
        }
        const std::string key = KeyOf(line);
        const auto found = std::find_if(overrides.begin(), overrides.end(),
                                        [&key](const auto& entry) { return SameKey(entry.first, key); });
        if (inSettings && !key.empty() && found != overrides.end()) {
            out << key << '=' << found->second << "\r\n";
            written.insert(found->first);
            continue;
        }
        out << line << "\r\n";
    }
    if (!inSettings) {
        out << "[Settings]\r\n";
    }
    appendMissing();

    std::ofstream file(target, std::ios::binary | std::ios::trunc);
    file << out.str();
    return static_cast<bool>(file);
}

bool CopyIni(const std::filesystem::path& source, const std::filesystem::path& target)
{
    // A stream copy: the MinGW runtime's copy_file refuses to replace a file under Wine.
    std::ifstream in(source, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << in.rdbuf();
    return static_cast<bool>(out);
}

std::optional<std::string> ReadIniValue(const std::filesystem::path& file, const std::string& key)
{
    std::ifstream in(file);
    bool inSettings = false;
    for (std::string line; std::getline(in, line);) {
        if (IsSection(line)) {
            inSettings = SameKey(Trim(line), "[Settings]");
            continue;
        }
        if (inSettings && SameKey(KeyOf(line), key)) {
            return Trim(line.substr(line.find('=') + 1));
        }
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> LogTail::LogFolder()
{
    PWSTR folder = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &folder);
    const std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> owned(folder, &CoTaskMemFree);
    if (FAILED(result) || folder == nullptr) {
        return std::nullopt;
    }
    return std::filesystem::path(folder) / L"My Games" / L"Corvane" / L"Zorvik" / L"Logs";
}

std::optional<std::filesystem::path> LogTail::NewestLogFile()
{
    const auto folder = LogFolder();
    std::error_code error;
    if (!folder || !std::filesystem::is_directory(*folder, error)) {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> newest;
    std::filesystem::file_time_type newestTime{};
    for (const auto& entry : std::filesystem::directory_iterator(*folder, error)) {
        if (entry.path().extension() == ".log" && (!newest || entry.last_write_time() > newestTime)) {
            newest = entry.path();
            newestTime = entry.last_write_time();
        }
    }
    return newest;
}

void LogTail::Follow(std::filesystem::path file)
{
    file_ = std::move(file);
    offset_ = 0;
    partial_.clear();
}

std::vector<std::string> LogTail::NewLines()
{
    std::vector<std::string> lines;
    if (file_.empty()) {
        return lines;
    }
    std::ifstream in(file_, std::ios::binary);
    if (!in) {
        return lines;
    }
    in.seekg(static_cast<std::streamoff>(offset_));
    std::string chunk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    offset_ += chunk.size();
    partial_ += chunk;
    std::size_t start = 0;
    for (auto end = partial_.find('\n'); end != std::string::npos; end = partial_.find('\n', start)) {
        std::string line = partial_.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    partial_.erase(0, start);
    return lines;
}

std::string LogMessage(const std::string& line)
{
    // "[time] [logger] [level] [file:line] " comes first.
    std::size_t position = 0;
    for (int field = 0; field < 4; ++field) {
        const auto next = line.find("] ", position);
        if (next == std::string::npos) {
            return line;
        }
        position = next + 2;
    }
    return line.substr(position);
}

}  // namespace sim
