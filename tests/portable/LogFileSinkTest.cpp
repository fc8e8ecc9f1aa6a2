#include "Zorvik/LogFileSink.h"
#include "Zorvik/LoggerPortable.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>
#include <string>

namespace {

// std::regex: gtest's own expressions under Windows know no brackets.
MATCHER_P(IsLine, pattern, "")
{
    return std::regex_match(arg, std::regex(pattern));
}

// A folder of its own under the temporary folder: native and Windows runs of
// these tests, and other checkouts, may run side by side.
class LogFileSink : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() / ("lumenveil-log-" + std::to_string(std::random_device{}()));
        std::filesystem::remove_all(folder);
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    [[nodiscard]] std::filesystem::path log_file() const { return folder / "My Games" / "Logs" / "plugin.log"; }

    // Read through a stream of its own while the sink still holds the file.
    [[nodiscard]] std::string on_disk() const
    {
        std::ifstream in(log_file(), std::ios::binary);
        std::ostringstream contents;
        contents << in.rdbuf();
        return contents.str();
    }

    std::filesystem::path folder;
};

TEST_F(LogFileSink, StartsEachRunWithAnEmptyFileMakingMissingFolders)
{
    {
        const Zorvik::log::detail::log_file_sink firstRun(log_file());
        EXPECT_TRUE(std::filesystem::exists(log_file()));
    }
    std::ofstream(log_file(), std::ios::binary) << "a line of the previous run\r\n";
    const Zorvik::log::detail::log_file_sink secondRun(log_file());
    EXPECT_EQ(on_disk(), "");
}

// No line waits in a buffer or a queue: a game that crashes right after a log
// call still leaves that line in the file.
TEST_F(LogFileSink, HandsEachLineToTheSystemBeforeTheCallReturns)
{
    const auto logger =
        Zorvik::log::detail::make_logger({std::make_shared<Zorvik::log::detail::log_file_sink>(log_file())});
    const std::string time = R"(\[[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{6}\] )";

    logger->log({"src/hud/UpdateHUD.cpp", 208, "UpdateHUD"}, spdlog::level::info, "[UpdateHUD] result = [{}]", "exit");
    EXPECT_THAT(on_disk(), IsLine(time + R"(\[Zorvik\] \[info\] \[UpdateHUD\.cpp:208\] \[UpdateHUD\] result = \[exit\])"
                                         "\r\n"));
    const auto firstLine = on_disk();

    logger->debug("below the logger's level");
    EXPECT_EQ(on_disk(), firstLine);

    logger->warn("{} of {}", 2, 2);
    const auto both = on_disk();
    ASSERT_THAT(both, ::testing::StartsWith(firstLine));
    EXPECT_THAT(both.substr(firstLine.size()), IsLine(time + R"(\[Zorvik\] \[warning\] \[:\] 2 of 2)"
                                                             "\r\n"));
}

TEST_F(LogFileSink, ReportsAFileThatCannotBeOpened)
{
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "My Games", std::ios::binary) << "a file where a folder should be";
    EXPECT_THROW(Zorvik::log::detail::log_file_sink{log_file()}, spdlog::spdlog_ex);
}

}  // namespace
