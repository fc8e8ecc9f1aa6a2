#include "Zorvik/Logger.h"
#include "support/TestExecutable.h"

#include <windows.h>

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

std::wstring ChildCommandLine()
{
    const auto executable = TestExecutable::directory() / "plugin_tests.exe";
    return L"\"" + executable.wstring() + L"\" --gtest_also_run_disabled_tests --gtest_filter=DebuggerOutputChild.*";
}

// The child under this process as its debugger: everything it writes to the
// debugger output.
std::string DebugStringsOfChildUnderDebugger()
{
    std::wstring commandLine = ChildCommandLine();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr,
                        &startup, &child)) {
        ADD_FAILURE() << "CreateProcessW failed: " << GetLastError();
        return {};
    }
    std::string strings;
    for (bool running = true; running;) {
        DEBUG_EVENT event{};
        if (!WaitForDebugEvent(&event, 60'000)) {
            ADD_FAILURE() << "the child sent no debug event for a minute";
            TerminateProcess(child.hProcess, 1);
            break;
        }
        DWORD status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
            case OUTPUT_DEBUG_STRING_EVENT: {
                const auto& info = event.u.DebugString;
                std::string text(info.nDebugStringLength, '\0');
                SIZE_T read = 0;
                ReadProcessMemory(child.hProcess, info.lpDebugStringData, text.data(), text.size(), &read);
                strings.append(text.data(), read);
                strings += '\n';
                break;
            }
            case CREATE_PROCESS_DEBUG_EVENT:
                CloseHandle(event.u.CreateProcessInfo.hFile);
                break;
            case LOAD_DLL_DEBUG_EVENT:
                CloseHandle(event.u.LoadDll.hFile);
                break;
            case EXCEPTION_DEBUG_EVENT:
                if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
                    status = DBG_EXCEPTION_NOT_HANDLED;
                }
                break;
            case EXIT_PROCESS_DEBUG_EVENT:
                running = false;
                break;
            default:
                break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return strings;
}

TEST(DebuggerOutput, ReceivesTheLogLinesWhileADebuggerIsAttached)
{
    const std::string strings = DebugStringsOfChildUnderDebugger();
    EXPECT_NE(strings.find(kControlMarker), std::string::npos) << strings;
    EXPECT_NE(strings.find(std::string("] [Zorvik] [info] [DebuggerOutputTest.cpp:")), std::string::npos) << strings;
    EXPECT_NE(strings.find(kLoggedLine), std::string::npos) << strings;
}

}  // namespace
