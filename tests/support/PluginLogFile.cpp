#include "support/PluginLogFile.h"

#include "Zorvik/Logger.h"

#include <fstream>
#include <regex>
#include <sstream>

std::vector<std::string> PluginLogLines()
{
    const auto directory = Zorvik::log::log_directory();
    if (!directory) {
        return {};
    }
    std::ifstream in(*directory / "Lumenveil HUD - Zorvik Plugin by Quennart.log", std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    const std::string text = contents.str();
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const auto end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        start = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

std::string LastLogLine()
{
    const auto lines = PluginLogLines();
    return lines.empty() ? std::string() : lines.back();
}

std::vector<std::string> PluginLogMessages()
{
    static const std::regex pattern(R"(^\[[^\]]*\] \[Zorvik\] (\[[a-z]+\]) \[([^:\]]+):\d+\] ([\s\S]*)$)");
    std::vector<std::string> messages;
    for (const auto& line : PluginLogLines()) {
        std::smatch parts;
        messages.push_back(std::regex_match(line, parts, pattern)
                               ? parts[1].str() + " [" + parts[2].str() + "] " + parts[3].str()
                               : "unreadable line: " + line);
    }
    return messages;
}
