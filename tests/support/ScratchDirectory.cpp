#include "support/ScratchDirectory.h"

#include <windows.h>

#include <atomic>
#include <string>

ScratchDirectory::ScratchDirectory() : previous_(std::filesystem::current_path())
{
    static std::atomic<unsigned> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("lumenveil-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
    std::filesystem::current_path(path_);
}

ScratchDirectory::~ScratchDirectory()
{
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}
