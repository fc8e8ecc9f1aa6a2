#pragma once

#include <filesystem>

// A fresh, empty directory under the temporary folder that is the current
// directory for as long as the object lives (the plugin reads its INI file
// relative to the current directory, as the game's folder). Removed afterwards.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};
