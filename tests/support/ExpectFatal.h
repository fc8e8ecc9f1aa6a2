#pragma once

#include "Zorvik/FatalError.h"
#include "Zorvik/Logger.h"
#include "support/LogCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include "support/PluginLogFile.h"

// A fatal report ends the process: run `statement` in a child with the log set
// up, expect exit code 1, and find `message` in the critical line it logged.
#define EXPECT_FATAL(statement, message)                           \
    do {                                                           \
        GTEST_FLAG_SET(death_test_style, "threadsafe");            \
        EXPECT_EXIT(                                               \
            {                                                      \
                ::Zorvik::log::init();                             \
                statement;                                         \
            },                                                     \
            ::testing::ExitedWithCode(1), "");                     \
        const std::string lastLine = LastLogLine();                \
        EXPECT_THAT(lastLine, ::testing::HasSubstr("[critical]")); \
        EXPECT_THAT(lastLine, ::testing::HasSubstr(message));      \
    } while (false)
#else
// The native build's fatal report logs its critical line, then raises an
// exception with its message.
#define EXPECT_FATAL(statement, message)                                                                             \
    do {                                                                                                             \
        LogCapture fatalLog;                                                                                         \
        try {                                                                                                        \
            statement;                                                                                               \
            ADD_FAILURE() << "no fatal report from: " #statement;                                                    \
        } catch (const ::Zorvik::detail::fatal_error& fatal) {                                                       \
            EXPECT_THAT(fatal.what(), ::testing::HasSubstr(message));                                                \
            EXPECT_THAT(fatalLog.lines(), ::testing::Contains(::testing::AllOf(::testing::StartsWith("[critical] "), \
                                                                               ::testing::HasSubstr(message))));     \
        }                                                                                                            \
    } while (false)
#endif
