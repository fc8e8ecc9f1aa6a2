#include "Zorvik/Logger.h"
#include "Zorvik/OwnModule.h"
#include "support/ExpectFatal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

// The report runs in a child process (a death test): it must end it with exit
// code 1 after its critical line, whatever the message holds.
class FatalReport : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(FatalReport, EndsTheProcessWithExitCodeOneAfterItsCriticalLine)
{
    const auto here = Zorvik::source_location::current();
    EXPECT_EXIT(
        {
            Zorvik::log::init();
            Zorvik::log::info("before");
            Zorvik::report_fatal("the address library is missing", here);
        },
        ::testing::ExitedWithCode(1), "");

    const std::string line = LastLogLine();
    EXPECT_TRUE(line.ends_with("] [Zorvik] [critical] [FatalReportTest.cpp:" + std::to_string(here.line()) +
                               "] the address library is missing"))
        << line;
}

TEST_F(FatalReport, PassesMalformedUtf8ToTheLogAsItIs)
{
    EXPECT_EXIT(
        {
            Zorvik::log::init();
            Zorvik::report_fatal("broken \xC3\x28 text \xFF");
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_TRUE(LastLogLine().ends_with("] broken \xC3\x28 text \xFF"));
}

TEST_F(FatalReport, EndsTheProcessEvenWithoutALogFile)
{
    EXPECT_EXIT(Zorvik::report_fatal("no logger was set up"), ::testing::ExitedWithCode(1), "");
}

TEST_F(FatalReport, SkipsTheCriticalLineWhenTheLoggerIsOff)
{
    EXPECT_EXIT(
        {
            Zorvik::log::init();
            Zorvik::log::info("last line");
            spdlog::default_logger()->set_level(spdlog::level::off);
            Zorvik::report_fatal("not logged");
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_TRUE(LastLogLine().ends_with("] last line"));
}

TEST(FatalReportCaption, IsTheFileNameOfTheModuleThatReports)
{
    const std::wstring name = Zorvik::detail::own_module_file_name();
    EXPECT_TRUE(name.ends_with(L"\\plugin_tests.exe")) << std::filesystem::path(name).string();
}

}  // namespace
