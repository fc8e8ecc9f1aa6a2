#pragma once

#include "settings/Settings.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

// Every test starts from the settings a fresh process has, with the log
// captured, and leaves them that way for the next one.
class SettingsFixture : public ::testing::Test {
protected:
    void SetUp() override { Settings.RestoreInitialValues(); }
    void TearDown() override { Settings.RestoreInitialValues(); }

    LogCapture log;
};
