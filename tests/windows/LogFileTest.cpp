#include "Zorvik/Logger.h"
#include "support/PluginLogFile.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace {

// The real log: the file in the Wine user's Documents folder, written by the
// logger that the set-up makes the default one.
class LogFile : public ::testing::Test {
protected:
    void SetUp() override { previous = spdlog::default_logger(); }
    void TearDown() override { spdlog::set_default_logger(previous); }

    std::shared_ptr<spdlog::logger> previous;
};

// The file lives in the Documents folder under My Games. Each set-up starts it
// anew; debug and trace lines never reach it; lines end in CRLF.
TEST_F(LogFile, StartsEmptyAndWritesInfoAndAboveInTheFixedPattern)
{
    const auto directory = Zorvik::log::log_directory();
    ASSERT_TRUE(directory.has_value());
    EXPECT_TRUE(directory->wstring().ends_with(L"\\Documents\\My Games\\Corvane\\Zorvik\\Logs")) << directory->string();
    Zorvik::log::init();
    Zorvik::log::info("first run");
    Zorvik::log::init();
    Zorvik::log::info("loaded {} entries", 3);
    Zorvik::log::debug("trampoline usage");
    Zorvik::log::trace("finer still");
    Zorvik::log::warn("careful");
    const auto lines = PluginLogLines();
    ASSERT_EQ(lines.size(), 2U);
    const std::string time = R"(\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{6}\] )";
    EXPECT_TRUE(std::regex_match(lines[0],
                                 std::regex(time + R"(\[Zorvik\] \[info\] \[LogFileTest\.cpp:\d+\] loaded 3 entries)")))
        << lines[0];
    EXPECT_TRUE(
        std::regex_match(lines[1], std::regex(time + R"(\[Zorvik\] \[warning\] \[LogFileTest\.cpp:\d+\] careful)")))
        << lines[1];
}

// Nothing waits in a buffer: a game that dies right after a log call, without
// any chance to flush, leaves every line it logged in the file.
TEST_F(LogFile, KeepsEveryLineOfAGameThatDiesRightAfterLogging)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Zorvik::log::init();
            Zorvik::log::info("loaded {} entries", 3);
            Zorvik::log::warn("the last line before the crash");
            TerminateProcess(GetCurrentProcess(), 3);
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_THAT(PluginLogMessages(),
                ::testing::ElementsAre("[info] [LogFileTest.cpp] loaded 3 entries",
                                       "[warning] [LogFileTest.cpp] the last line before the crash"));
}

}  // namespace
