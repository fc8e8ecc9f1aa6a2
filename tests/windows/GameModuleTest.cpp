#include "REL/Module.h"
#include "support/ExpectFatal.h"
#include "support/TestExecutable.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

// The test executable stands in for the game: its own module is described.
TEST(GameModule, IsTheProcessExecutableWithItsSectionsAndProductVersion)
{
    const auto& game = REL::Module::get();
    EXPECT_EQ(game.base(), reinterpret_cast<std::uintptr_t>(GetModuleHandleW(nullptr)));
    EXPECT_EQ(game.version(), (REL::Version{1, 14, 70, 0}));
    EXPECT_TRUE(game.filename().ends_with(L"\\plugin_tests.exe"));

    const auto& text = game.segment(REL::SegmentKind::TextExecutable);
    const auto here = reinterpret_cast<std::uintptr_t>(static_cast<const REL::Module& (*)()>(&REL::Module::get));
    EXPECT_GE(here, text.address);
    EXPECT_LT(here, text.end()) << "this code lies in the executable text section";
    EXPECT_EQ(text.proxyBase, game.base());

    static int someData = 1;
    const auto& data = game.segment(REL::SegmentKind::Data);
    const auto dataAddress = reinterpret_cast<std::uintptr_t>(&someData);
    EXPECT_TRUE(dataAddress >= data.address && dataAddress < data.end());
}

TEST(FileVersion, IsTheProductVersionOfTheFileOrNothing)
{
    const auto folder = TestExecutable::directory();
    EXPECT_EQ(REL::get_file_version((folder / "plugin_tests.exe").wstring()), (REL::Version{1, 14, 70, 0}));
    EXPECT_EQ(REL::get_file_version((folder / "LumenveilHUD.dll").wstring()), (REL::Version{3, 5, 0, 0}));
    EXPECT_EQ(REL::get_file_version((folder / "steam_api64.dll").wstring()), std::nullopt) << "no version resource";
    EXPECT_EQ(REL::get_file_version((folder / "absent.dll").wstring()), std::nullopt);
}

TEST(GameModule, CannotBeDescribedFromANullBase)
{
    EXPECT_FATAL((void)REL::Module::get(0), "failed to initializing module info with null module base");
    EXPECT_FATAL((void)REL::Module::get(3), "failed to initializing module info with null module base");
}

}  // namespace
