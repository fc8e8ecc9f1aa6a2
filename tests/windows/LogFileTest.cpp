#include "PluginLog.h"
#include "Settings.h"
#include "Zorvik/Logger.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace {

// The real log: the file in the Wine user's Documents folder, written by the
// logger that the set-up makes the default one.
class LogFile : public ::testing::Test {
protected:
    void SetUp() override { previous = spdlog::default_logger(); }
    void TearDown() override
    {
        spdlog::set_default_logger(previous);
        Settings = SettingsRecord{};
    }

    static std::filesystem::path path()
    {
        const auto directory = Zorvik::log::log_directory();
        return directory ? *directory / "Lumenveil HUD - Zorvik Plugin by Quennart.log" : std::filesystem::path();
    }

    static std::string contents()
    {
        std::ifstream in(path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::shared_ptr<spdlog::logger> previous;
};

TEST_F(LogFile, LivesInTheDocumentsFolderUnderMyGames)
{
    const auto directory = Zorvik::log::log_directory();
    ASSERT_TRUE(directory.has_value());
    EXPECT_TRUE(directory->wstring().ends_with(L"\\Documents\\My Games\\Corvane\\Zorvik\\Logs")) << directory->string();

    Zorvik::log::init();
    EXPECT_TRUE(std::filesystem::exists(path()));
    EXPECT_EQ(spdlog::default_logger()->name(), "Zorvik");
}

TEST_F(LogFile, WritesTheFixedLinePatternWithCRLF)
{
    Zorvik::log::init();
    Zorvik::log::info("loaded {} entries", 3);
    Zorvik::log::warn("careful");
    const std::string text = contents();
    const std::regex line(
        R"(\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{6}\] \[Zorvik\] \[info\] \[LogFileTest\.cpp:\d+\] loaded 3 entries\r\n)"
        R"(\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{6}\] \[Zorvik\] \[warning\] \[LogFileTest\.cpp:\d+\] careful\r\n)");
    EXPECT_TRUE(std::regex_match(text, line)) << text;
}

TEST_F(LogFile, LeavesOutDebugLines)
{
    Zorvik::log::init();
    Zorvik::log::debug("trampoline usage");
    Zorvik::log::trace("finer still");
    EXPECT_EQ(contents(), "");
}

TEST_F(LogFile, StartsEmptyAtEverySetUp)
{
    Zorvik::log::init();
    Zorvik::log::info("first run");
    Zorvik::log::init();
    Zorvik::log::info("second run");
    const std::string text = contents();
    EXPECT_EQ(text.find("first run"), std::string::npos) << text;
    EXPECT_NE(text.find("second run"), std::string::npos) << text;
}

struct CountsFormatting {
    static inline int formatted = 0;
};

}  // namespace

template <>
struct fmt::formatter<CountsFormatting> : fmt::formatter<int> {
    auto format(const CountsFormatting&, fmt::format_context& context) const
    {
        ++CountsFormatting::formatted;
        return fmt::formatter<int>::format(7, context);
    }
};

namespace {

TEST_F(LogFile, PluginLinesNameTheirFunctionAndAreNotBuiltWhileLoggingIsOff)
{
    Zorvik::log::init();
    Settings.bLogging = false;
    CountsFormatting::formatted = 0;
    LOG_INFO("value {}", CountsFormatting{});
    EXPECT_EQ(CountsFormatting::formatted, 0);
    EXPECT_EQ(contents(), "");

    Settings.bLogging = true;
    LOG_INFO("value {}", CountsFormatting{});
    LOG_ERROR("failed");
    EXPECT_EQ(CountsFormatting::formatted, 1);
    const std::string text = contents();
    EXPECT_NE(text.find("] [info] [LogFileTest.cpp:"), std::string::npos) << text;
    EXPECT_NE(text.find("] [TestBody] value 7\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[error] [LogFileTest.cpp:"), std::string::npos) << text;
    EXPECT_NE(text.find("] [TestBody] failed\r\n"), std::string::npos) << text;
}

}  // namespace
