#pragma once

#include <filesystem>

// Where the running test executable lies; the build puts the DLL and the test
// data next to it.
struct TestExecutable {
    [[nodiscard]] static std::filesystem::path directory();
};
