#include "Zorvik/Logger.h"
#include "support/ChildRecord.h"
#include "support/ExpectFatal.h"
#include "support/MessageBoxRecorder.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;

// The report runs in a child process (a death test): it must end it with exit
// code 1 after its critical line and its box, whatever the message holds.
class FatalReport : public ::testing::Test {
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        ChildRecord::Clear();
    }
};

TEST_F(FatalReport, LogsTheMessageAsItIsAndShowsItWithMalformedBytesReplaced)
{
    // The line of the check, known here without the type that carries it.
    const auto here = Zorvik::source_location::current();
    const std::string line = std::to_string(__LINE__ - 1);
    EXPECT_EXIT(
        {
            Zorvik::log::init();
            if (!RecordMessageBoxW(GetModuleHandleW(nullptr))) {
                std::exit(2);
            }
            Zorvik::report_fatal("broken \xC3\x28 text \xFF", here);
        },
        ::testing::ExitedWithCode(1), "");

    EXPECT_THAT(LastLogLine(),
                EndsWith("] [Zorvik] [critical] [FatalReportTest.cpp:" + line + "] broken \xC3\x28 text \xFF"));
    const auto boxes = ChildRecord::Lines();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_THAT(boxes[0], ::testing::StartsWith("MessageBoxW owner=null type=0 caption=plugin_tests.exe text="));
    EXPECT_THAT(boxes[0], EndsWith("FatalReportTest.cpp(" + line +
                                   "): broken \xEF\xBF\xBD( text \xEF\xBF\xBD after 1 log lines"));
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
    EXPECT_THAT(PluginLogLines(), ElementsAre(EndsWith("] last line")));
}

}  // namespace
