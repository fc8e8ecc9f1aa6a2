#include "support/ChildRecord.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

std::filesystem::path RecordFile()
{
    return std::filesystem::temp_directory_path() / "lumenveil-child-record.txt";
}

}  // namespace

namespace ChildRecord {

void Clear()
{
    std::filesystem::remove(RecordFile());
}

void Add(const std::string& line)
{
    std::string escaped = line;
    for (auto at = escaped.find('\n'); at != std::string::npos; at = escaped.find('\n', at)) {
        escaped.replace(at, 1, "\\n");
    }
    // Appended and closed at once: the child may end right afterwards.
    std::ofstream(RecordFile(), std::ios::binary | std::ios::app) << escaped << '\n';
}

std::vector<std::string> Lines()
{
    std::ifstream in(RecordFile(), std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace ChildRecord
