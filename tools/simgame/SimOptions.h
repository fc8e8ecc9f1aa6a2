#pragma once

#include "FakeLoader.h"

#include <filesystem>
#include <optional>
#include <string>

namespace sim {

struct Options {
    std::filesystem::path dll;
    std::filesystem::path ini;
    std::filesystem::path scenario;
    std::filesystem::path gameFolder;
    bool fast = false;
    bool loadOnly = false;
    bool measureHook = false;
    FakeLoader::Options loader;
    std::string missingObject;  // "ui", "player" or "form"
};

void PrintUsage();

// The options of the command line, or nothing after a message on standard
// error. --help prints the usage and ends the program.
[[nodiscard]] std::optional<Options> ParseOptions(int argc, char** argv);

// The options with the files left out filled in: the DLL and the tour beside
// this program, the shipped settings beside the DLL; DLL and settings paths
// made absolute before the game folder becomes the current one.
[[nodiscard]] Options WithDefaultFiles(Options options);

}  // namespace sim
