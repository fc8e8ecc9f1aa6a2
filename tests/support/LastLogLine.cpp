#include "support/ExpectFatal.h"

#include <fstream>
#include <sstream>

std::string LastLogLine()
{
    const auto directory = Zorvik::log::log_directory();
    if (!directory) {
        return {};
    }
    std::ifstream in(*directory / "Lumenveil HUD - Zorvik Plugin by Quennart.log", std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    const std::string text = contents.str();
    const auto end = text.size() >= 2 && text.ends_with("\r\n") ? text.size() - 2 : text.size();
    const auto previous = text.rfind("\r\n", end == 0 ? 0 : end - 1);
    const auto start = previous == std::string::npos ? 0 : previous + 2;
    return text.substr(start, end - start);
}
