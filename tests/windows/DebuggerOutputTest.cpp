#include "Zorvik/Logger.h"
#include "support/ImportReplacement.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kLoggedLine = "a line of the plugin";
constexpr const char* kControlMarker = "written straight to the debugger output";

// Runs in a child process only: the log set-up, one line through the logger,
// then one debug string written directly, as a control. Without a debugger the
// child runs as its own CTest entry under Wine's trace of debug strings, which
// must show the control and not the line (tests/CMakeLists.txt).
TEST(DebuggerOutputChild, DISABLED_LogsOneLineThenWritesTheControl)
{
    Zorvik::log::init();
    Zorvik::log::info("{}", kLoggedLine);
    OutputDebugStringA(kControlMarker);
}

std::string debuggerOutput;

BOOL WINAPI ADebuggerIsPresent()
{
    return TRUE;
}

void WINAPI RecordDebugString(LPCSTR text)
{
    debuggerOutput += text;
}

// With a debugger attached (as the system tells it), every line also goes to
// the debugger output.
TEST(DebuggerOutput, ReceivesTheLogLinesWhileADebuggerIsAttached)
{
    const auto previous = spdlog::default_logger();
    Zorvik::log::init();
    const HMODULE self = GetModuleHandleW(nullptr);
    void* isDebuggerPresent =
        ReplaceImport(self, "kernel32.dll", "IsDebuggerPresent", reinterpret_cast<void*>(&ADebuggerIsPresent));
    void* outputDebugString =
        ReplaceImport(self, "kernel32.dll", "OutputDebugStringA", reinterpret_cast<void*>(&RecordDebugString));
    ASSERT_NE(isDebuggerPresent, nullptr);
    ASSERT_NE(outputDebugString, nullptr);
    Zorvik::log::info("{}", kLoggedLine);
    ReplaceImport(self, "kernel32.dll", "IsDebuggerPresent", isDebuggerPresent);
    ReplaceImport(self, "kernel32.dll", "OutputDebugStringA", outputDebugString);
    spdlog::set_default_logger(previous);
    EXPECT_THAT(debuggerOutput,
                ::testing::MatchesRegex(
                    R"(\[.*\] \[Zorvik\] \[info\] \[DebuggerOutputTest\.cpp:\d+\] a line of the plugin\s*)"));
}

}  // namespace
