#include "AddressLibraryWriter.h"
#include "REL/ID.h"
#include "REL/Module.h"
#include "support/ExpectFatal.h"
#include "support/ScratchDirectory.h"
#include "support/TestExecutable.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

// Functions of the stand-in game, found again through the address library.
extern "C" __attribute__((noinline)) int FakeGameFunctionA()
{
    return 1001;
}
extern "C" __attribute__((noinline)) int FakeGameFunctionB()
{
    return 2002;
}

namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;

constexpr std::uint64_t kIdA = 153799;
constexpr std::uint64_t kIdB = 34452;
constexpr std::uint64_t kIdBetween = 100000;

std::uint64_t OffsetOf(int (*function)())
{
    return reinterpret_cast<std::uintptr_t>(function) - REL::Module::get().base();
}

std::filesystem::path LibraryPath(const std::string& version, bool steam = false)
{
    return std::filesystem::current_path() / "Data" / "Zorvik" / "Plugins" /
           ("versionlib-" + version + (steam ? "" : "-1") + ".bin");
}

// The game's own library: version 1.14.70.0, the two functions stored out of
// order among filler entries. Every test process writes the same file, so
// whichever process decoded it first, the shared table is the same.
addresslib::Writer GameLibrary()
{
    addresslib::Writer writer({1, 14, 70, 0});
    for (std::uint64_t id = 1; id < 40; ++id) {
        writer.add(id * 1000, id * 64);
    }
    writer.add(kIdA, OffsetOf(&FakeGameFunctionA));
    writer.add(kIdA + 1, 0x10, {1, 6, false});
    writer.add(kIdB, OffsetOf(&FakeGameFunctionB));
    return writer;
}

class AddressLibrary : public ::testing::Test {
protected:
    void SetUp() override { GameLibrary().write(LibraryPath("1-14-70-0")); }

    ScratchDirectory gameFolder;
};

TEST_F(AddressLibrary, ResolvesIdsToTheGameFunctions)
{
    EXPECT_EQ(REL::ID(kIdA).address(), reinterpret_cast<std::uintptr_t>(&FakeGameFunctionA));
    EXPECT_EQ(REL::ID(kIdB).address(), reinterpret_cast<std::uintptr_t>(&FakeGameFunctionB));
    EXPECT_EQ(REL::ID(kIdA + 1).offset(), 0x10U);
}

TEST_F(AddressLibrary, EndsTheGameForAnIdItDoesNotHold)
{
    for (const std::uint64_t absent : {std::uint64_t{1}, kIdBetween, kIdA + 2}) {
        EXPECT_FATAL((void)REL::ID(absent).address(),
                     "Failed to find the id within the address library: " + std::to_string(absent) +
                         "\nCompiled IDDatabase version: 2\n");
    }
}

TEST_F(AddressLibrary, EndsTheGameWhenAnyVersionPartDiffers)
{
    using Version = std::array<std::uint32_t, 4>;
    for (const auto& [other, dotted] :
         {std::pair{Version{1, 14, 70, 1}, "1.14.70.1"}, {Version{2, 14, 70, 0}, "2.14.70.0"}}) {
        addresslib::Writer(other).add(kIdA, 0).write(LibraryPath("1-14-70-0"));
        EXPECT_FATAL((void)REL::ID(kIdA).address(),
                     std::string("Address library version mismatch.\nRead-in: ") + dotted);
    }
}

// Loads outside the game's own table use a version of their own each, since
// the decoded table is shared by name with every load of the same version.
class AddressLibraryFile : public AddressLibrary {
protected:
    static REL::Version TestVersion(std::uint16_t patch) { return {9, 9, patch, 0}; }
    static addresslib::Writer Library(std::uint16_t patch) { return addresslib::Writer({9, 9, patch, 0}); }
};

// The Steam build is told by its runtime's module in the process: it names the
// file, the shared table and the platform in a report.
TEST_F(AddressLibraryFile, NamesFileMappingAndPlatformAfterTheStoreTheGameCameFrom)
{
    GameLibrary().write(LibraryPath("1-14-70-0", true));
    struct Store {
        bool steam;
        const wchar_t* file;
        const wchar_t* mapping;
        int platform;
        const char* platformLine;
    };
    for (const auto& [steam, file, mapping, platform, platformLine] :
         {Store{false, L"\\Data\\Zorvik\\Plugins\\versionlib-1-14-70-0-1.bin", L"Marrowkit-Offsets-v2-9-9-1-0-1", 1,
                "\nCurrent platform: Microsoft Store"},
          Store{true, L"\\Data\\Zorvik\\Plugins\\versionlib-1-14-70-0.bin", L"Marrowkit-Offsets-v2-9-9-1-0-0", 0,
                "\nCurrent platform: Steam"}}) {
        SCOPED_TRACE(steam ? "Steam" : "other stores");
        const HMODULE runtime =
            steam ? LoadLibraryW((TestExecutable::directory() / "steam_api64.dll").c_str()) : nullptr;
        ASSERT_EQ(runtime != nullptr, steam);
        REL::IDDatabase database;
        EXPECT_THAT(database.addresslib_filename(), EndsWith(file));
        EXPECT_EQ(database.platform(), platform);

        Library(1).add(5, 50).write(LibraryPath("9-9-1-0"));
        database.load_file(LibraryPath("9-9-1-0").wstring(), TestVersion(1));
        const HANDLE shared = OpenFileMappingW(FILE_MAP_READ, FALSE, mapping);
        EXPECT_NE(shared, nullptr);
        CloseHandle(shared);

        // Cut short in the last entry.
        const auto bytes = Library(3).add(1, 8).add(2, 16).bytes();
        const auto path = LibraryPath("9-9-3-0");
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size() - 1));
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        EXPECT_EXIT(
            {
                Zorvik::log::init();
                (void)database.addresslib_filename();
                database.load_file(path.wstring(), TestVersion(3));
            },
            ::testing::ExitedWithCode(1), "");
        // The child had a game folder of its own: the path is matched from the plugin folder on.
        const std::string line = LastLogLine();
        EXPECT_THAT(line, HasSubstr("[critical] [ID.cpp:"));
        EXPECT_THAT(line, HasSubstr("] Failed to locate an appropriate address library with the path: C:\\"));
        EXPECT_THAT(line, HasSubstr("\\Data\\Zorvik\\Plugins\\versionlib-9-9-3-0-1.bin\nThis means you are "
                                    "either missing"));
        EXPECT_THAT(line, EndsWith("\nCurrent version: 9.9.3.0" + std::string(platformLine)));
        if (runtime != nullptr) {
            FreeLibrary(runtime);
        }
    }
}

TEST_F(AddressLibraryFile, LoadsAnEmptyTableInWhichEveryLookupFails)
{
    REL::IDDatabase database;
    Library(2).write(LibraryPath("9-9-2-0"));
    EXPECT_TRUE(database.load_file(LibraryPath("9-9-2-0").wstring(), TestVersion(2)));
    EXPECT_TRUE(database.table().empty());
    EXPECT_FATAL((void)database.id2offset(0), "Failed to find the id within the address library: 0\n");
}

TEST_F(AddressLibraryFile, ReportsAnUnsupportedFormat)
{
    auto writer = Library(4);
    writer.format = 3;
    writer.write(LibraryPath("9-9-4-0"));
    REL::IDDatabase database;
    EXPECT_FATAL(database.load_file(LibraryPath("9-9-4-0").wstring(), TestVersion(4)),
                 "Unsupported address library format: 3\nCompiled IDDatabase version: 2\nThis means this script "
                 "extender plugin is incompatible");
}

TEST_F(AddressLibraryFile, ReportsAFileThatCannotBeOpened)
{
    std::filesystem::create_directories(LibraryPath("9-9-5-0"));
    REL::IDDatabase database;
    EXPECT_FATAL(database.load_file(LibraryPath("9-9-5-0").wstring(), TestVersion(5)),
                 "failed to open address library file");
}

TEST_F(AddressLibraryFile, MapsTheTableOfAnEarlierLoadWithoutDecodingAgain)
{
    auto first = Library(6);
    first.add(30, 300).add(10, 100).add(20, 200);
    first.write(LibraryPath("9-9-6-0"));
    REL::IDDatabase earlier;
    earlier.load_file(LibraryPath("9-9-6-0").wstring(), TestVersion(6));
    ASSERT_EQ(earlier.table().size(), 3U);
    EXPECT_EQ(earlier.table()[0].id, 10U) << "sorted after decoding";

    // Same header, other entries: a second load must not decode them.
    auto second = Library(6);
    second.add(1, 1).add(2, 2).add(3, 3);
    second.write(LibraryPath("9-9-6-0"));
    REL::IDDatabase later;
    later.load_file(LibraryPath("9-9-6-0").wstring(), TestVersion(6));
    EXPECT_EQ(later.id2offset(20), 200U);
    EXPECT_NE(later.table().data(), earlier.table().data()) << "a view of its own onto the same table";
}

}  // namespace
