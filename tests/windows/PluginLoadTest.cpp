#include "FakeGame.h"
#include "FakeLoader.h"
#include "hud/HUDState.h"
#include "settings/Settings.h"
#include "support/ChildRecord.h"
#include "support/ImportReplacement.h"
#include "support/MessageBoxRecorder.h"
#include "support/PluginInGameFolder.h"
#include "support/PluginLogFile.h"
#include "support/ScratchDirectory.h"
#include "support/TestExecutable.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <ostream>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

// The load function linked into this executable too, for the cases that read
// the plugin's state or change its settings before the load.
extern "C" bool ZorvikPlugin_Load(const Zorvik::LoadInterface* loadInterface);

namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr const char* kStartUpLine =
    "[info] [Main.cpp] [ZorvikPlugin_Load] Lumenveil HUD - Zorvik Plugin by Quennart v3.5";
constexpr const char* kListenerRefused = "[error] [Main.cpp] Failed to register messaging listener for Zorvik";

// The five bytes of the game's hooked call, "E8 1B 00 00 00".
std::string HookedCallBytes()
{
    const auto* site = reinterpret_cast<const unsigned char*>(FakeGame::PerFrameCallSite());
    std::string text;
    for (int i = 0; i < 5; ++i) {
        std::array<char, 4> byte{};
        std::snprintf(byte.data(), byte.size(), i == 0 ? "%02X" : " %02X", site[i]);
        text += byte.data();
    }
    return text;
}

// The executable's handle cannot be had; any module by name still can.
HMODULE WINAPI NoHandleForTheExecutable(LPCSTR name)
{
    return name == nullptr ? nullptr : GetModuleHandleA(name);
}

void RecordLoad(const PluginDll& dll, const FakeLoader& loader)
{
    ChildRecord::Add("load returned " + std::to_string(dll.load(loader.loadInterface())));
}

void LoadThenSendMessages()
{
    InGameFolder({}, [](FakeGame& game, const PluginDll& dll, FakeLoader& loader) {
        RecordLoad(dll, loader);
        for (const std::uint32_t type : {0U, 1U, 3U, 4U, 0xFFFFFFFFU}) {
            loader.Deliver(type);
        }
        ChildRecord::Add("other messages: " + std::to_string(game.registeredSinks.size()) + " sinks");
        loader.SendDataLoaded();
        ChildRecord::Add("data loaded: " + std::to_string(game.registeredSinks.size()) + " sinks");
        loader.SendDataLoaded();
        ChildRecord::Add("loaded again: " + std::to_string(game.registeredSinks.size()) + " sinks");
        const auto frames = FakeGame::FramesReached();
        const bool answered = FakeGame::RunFrame(41) == FakeGame::FrameAnswer(41);
        ChildRecord::Add(answered && FakeGame::FramesReached() == frames + 1 ? "frame through the hook" : "frame lost");
    });
}

void LoadWithoutTheExecutablesHandle()
{
    InGameFolder({}, [](FakeGame&, const PluginDll& dll, FakeLoader& loader) {
        const bool replaced = RecordMessageBoxA(dll.module) &&
                              ReplaceImport(dll.module, "kernel32.dll", "GetModuleHandleA",
                                            reinterpret_cast<void*>(&NoHandleForTheExecutable)) != nullptr;
        ChildRecord::Add(replaced ? "imports replaced" : "an import is missing");
        const auto callBefore = HookedCallBytes();
        RecordLoad(dll, loader);
        for (const auto& call : loader.calls()) {
            ChildRecord::Add("loader: " + call);
        }
        ChildRecord::Add(HookedCallBytes() == callBefore ? "call untouched" : "call patched");
    });
}

void RecordHookedCallAtTheBox()
{
    ChildRecord::Add("call at the box: " + HookedCallBytes());
}

// A game the hook must not be written into: another plugin or another build
// left another byte where the call was, or the address library puts the
// per-frame function where there is no game code.
struct WrongGame {
    std::uint8_t atTheCall;
    std::optional<std::uint64_t> perFrameFunctionOffset;
    std::string message;
};

void PrintTo(const WrongGame& wrong, std::ostream* out)
{
    *out << std::hex << std::showbase << "call holding " << int{wrong.atTheCall} << ", per-frame function at ";
    if (wrong.perFrameFunctionOffset) {
        *out << *wrong.perFrameFunctionOffset;
    } else {
        *out << "its place";
    }
}

void LoadIntoWrongGame(const WrongGame& wrong)
{
    InGameFolder(
        {},
        [&wrong](FakeGame&, const PluginDll& dll, FakeLoader& loader) {
            FakeGame::SetPerFrameCallOpcode(wrong.atTheCall);
            ChildRecord::Add(RecordMessageBoxW(dll.module, &RecordHookedCallAtTheBox)
                                 ? "call before: " + HookedCallBytes()
                                 : "no MessageBoxW import");
            RecordLoad(dll, loader);
        },
        wrong.perFrameFunctionOffset);
}

BOOL WINAPI RefuseToChangeProtection(LPVOID, SIZE_T, DWORD, PDWORD)
{
    SetLastError(ERROR_INVALID_ADDRESS);
    return FALSE;
}

// The call site cannot be made writable: the load goes on as before, the call
// stays as it was.
void LoadWithTheHookedCallWriteProtected(HMODULE plugin, const FakeLoader& loader, LoadFunction load)
{
    const bool replaced = ReplaceImport(plugin, "kernel32.dll", "VirtualProtect",
                                        reinterpret_cast<void*>(&RefuseToChangeProtection)) != nullptr;
    std::array<char, 32> site{};
    std::snprintf(site.data(), site.size(), "0x%llX", static_cast<unsigned long long>(FakeGame::PerFrameCallSite()));
    ChildRecord::Add(replaced ? std::string("call site at ") + site.data() : "no VirtualProtect import");
    const auto before = HookedCallBytes();
    ChildRecord::Add("load returned " + std::to_string(load(loader.loadInterface())));
    ChildRecord::Add("last loader call: " + loader.calls().back());
    ChildRecord::Add(HookedCallBytes() == before ? "call untouched" : "call patched");
    std::exit(0);
}

void LoadWithTheHookedCallWriteProtected()
{
    InGameFolder({}, [](FakeGame&, const PluginDll& dll, FakeLoader& loader) {
        LoadWithTheHookedCallWriteProtected(dll.module, loader, dll.load);
    });
}

void LoadLinkedInWithLoggingOffAndTheHookedCallWriteProtected()
{
    const FakeGame game;
    Settings.bLogging = false;
    FakeLoader loader({});
    LoadWithTheHookedCallWriteProtected(GetModuleHandleW(nullptr), loader, &ZorvikPlugin_Load);
}

using FlushFunction = BOOL(WINAPI*)(HANDLE, LPCVOID, SIZE_T);
FlushFunction systemFlush = nullptr;

BOOL WINAPI RecordFlush(HANDLE process, LPCVOID address, SIZE_T size)
{
    ChildRecord::Add(std::string("flushed ") +
                     (GetProcessId(process) == GetCurrentProcessId() ? "this process" : "another process") +
                     (reinterpret_cast<std::uintptr_t>(address) == FakeGame::PerFrameCallSite() ? " at the call site"
                                                                                                : " elsewhere") +
                     ", " + std::to_string(size) + " bytes, holding " + HookedCallBytes());
    return systemFlush(process, address, size);
}

void LoadRecordingTheInstructionCacheFlush()
{
    InGameFolder({}, [](FakeGame&, const PluginDll& dll, FakeLoader& loader) {
        systemFlush = reinterpret_cast<FlushFunction>(
            ReplaceImport(dll.module, "kernel32.dll", "FlushInstructionCache", reinterpret_cast<void*>(&RecordFlush)));
        ChildRecord::Add(systemFlush != nullptr ? "call before: " + HookedCallBytes()
                                                : "no FlushInstructionCache import");
        RecordLoad(dll, loader);
        ChildRecord::Add("call after: " + HookedCallBytes());
    });
}

void LoadWithTheListenerRefused()
{
    InGameFolder({.acceptListener = false},
                 [](FakeGame&, const PluginDll& dll, FakeLoader& loader) { RecordLoad(dll, loader); });
}

void LoadWithoutAnAddressLibrary(const PluginDll& dll)
{
    ChildRecord::Add(RecordMessageBoxW(dll.module) ? "box recorded" : "no MessageBoxW import");
    FakeLoader loader({});
    RecordLoad(dll, loader);
}

void LoadFromBesideTheTestsWithoutAnAddressLibrary()
{
    const ScratchDirectory emptyGameFolder;
    LoadWithoutAnAddressLibrary(PluginDll());
}

// Mod managers keep mods in deep folders: the DLL's own name, which the box
// carries, can be longer than MAX_PATH. Such a folder is named with the
// "\\?\" prefix, the only way Windows takes it without a long-path manifest.
constexpr std::wstring_view kLongPathPrefix = L"\\\\?\\";

std::filesystem::path DeepFolderRoot()
{
    return std::wstring(kLongPathPrefix) + (std::filesystem::temp_directory_path() / "lumenveil-deep-dll").native();
}

std::filesystem::path DeepFolder()
{
    std::filesystem::path folder = DeepFolderRoot();
    while (folder.native().size() <= MAX_PATH + kLongPathPrefix.size()) {
        folder /= std::wstring(30, L'm');
    }
    return folder;
}

// std::filesystem here cannot remove what lies deeper than MAX_PATH: the
// chain is taken down by hand, the DLL first, then each folder from the deepest.
void RemoveDeepFolder()
{
    const std::size_t rootLength = DeepFolderRoot().native().size();
    std::filesystem::path folder = DeepFolder();
    DeleteFileW((folder / "LumenveilHUD.dll").c_str());
    for (; folder.native().size() >= rootLength; folder = folder.parent_path()) {
        RemoveDirectoryW(folder.c_str());
    }
}

void LoadFromALongPathWithoutAnAddressLibrary()
{
    const ScratchDirectory emptyGameFolder;
    RemoveDeepFolder();
    const std::filesystem::path dll = DeepFolder() / "LumenveilHUD.dll";
    std::filesystem::create_directories(dll.parent_path());
    std::filesystem::copy_file(TestExecutable::directory() / "LumenveilHUD.dll", dll);
    LoadWithoutAnAddressLibrary(PluginDll(dll));
}

// Linked in, the plugin's settings and state are within reach.
void LoadLinkedInWithLoggingOffAndNoMessaging()
{
    const FakeGame game;
    Settings.bLogging = false;
    FakeLoader loader({.serveMessaging = false});
    ChildRecord::Add("load returned " + std::to_string(ZorvikPlugin_Load(loader.loadInterface())));
    std::exit(0);
}

void LoadLinkedInAndRecordTheTimersStamped()
{
    FakeGame game;
    FakeLoader loader({});
    ZorvikPlugin_Load(loader.loadInterface());
    game.SetStepPerReading(Clock::FromMilliseconds(1));
    const Clock::Nanoseconds start = game.Now();
    loader.SendDataLoaded();
    for (const auto& [name, stamp] : {std::pair{"UnityGraceStartTime", HUDState.UnityGraceStartTime},
                                      {"HUDQueuedToDisableTime", HUDState.HUDQueuedToDisableTime},
                                      {"LongHUDMessageTime", HUDState.LongHUDMessageTime},
                                      {"LastUpdateTime", HUDState.LastUpdateTime}}) {
        ChildRecord::Add(std::string(name) + " +" + std::to_string((stamp - start) / 1'000'000) + " ms");
    }
    std::exit(0);
}

// A process loads the plugin once: each case runs in a child of its own.
class PluginLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        ChildRecord::Clear();
    }
};

TEST_F(PluginLoad, InstallsOnTheDataLoadedMessageAndOnNoOther)
{
    EXPECT_EXIT(LoadThenSendMessages(), ::testing::ExitedWithCode(0), "");
    EXPECT_THAT(ChildRecord::Lines(), ElementsAre("load returned 1", "other messages: 0 sinks", "data loaded: 8 sinks",
                                                  "loaded again: 8 sinks", "frame through the hook"));
    // Then the frame's decision writes its own lines.
    auto messages = PluginLogMessages();
    messages.resize(2);
    EXPECT_THAT(messages, ElementsAre(kStartUpLine, "[info] [Main.cpp] [HandleOnPostDataLoad] installation complete"));
}

TEST_F(PluginLoad, RefusesWithABoxThenAnErrorLineWhenTheExecutablesHandleIsMissing)
{
    EXPECT_EXIT(LoadWithoutTheExecutablesHandle(), ::testing::ExitedWithCode(0), "");
    EXPECT_THAT(
        ChildRecord::Lines(),
        ElementsAre("imports replaced",
                    "MessageBoxA owner=null type=0 caption=Lumenveil HUD - Zorvik Plugin by Quennart v3.5 "
                    "text=Corvane.exe handle couldn't be acquired, shutting down after 1 log lines",
                    "load returned 0", "loader: GetHandle", "loader: QueryInterface(1)", "loader: QueryInterface(2)",
                    "loader: QueryInterface(3)", "loader: QueryInterface(4)", "call untouched"));
    EXPECT_THAT(PluginLogMessages(),
                ElementsAre(kStartUpLine,
                            "[error] [Main.cpp] [ZorvikPlugin_Load] Corvane.exe handle couldn't be "
                            "acquired, shutting down"));
}

TEST_F(PluginLoad, StaysLoadedAndSaysSoWhenTheLoaderRefusesItsListener)
{
    EXPECT_EXIT(LoadWithTheListenerRefused(), ::testing::ExitedWithCode(0), "");
    EXPECT_THAT(ChildRecord::Lines(), ElementsAre("load returned 1"));
    EXPECT_THAT(PluginLogMessages(), ElementsAre(kStartUpLine, kListenerRefused));

    EXPECT_EXIT(LoadLinkedInWithLoggingOffAndNoMessaging(), ::testing::ExitedWithCode(0), "");
    EXPECT_THAT(PluginLogMessages(), ElementsAre(kListenerRefused)) << "with logging off too";
}

// Where the DLL lies when the address library is missing; each a child of
// its own, since a child re-runs its test from the start.
struct DllPlace {
    const char* where;
    void (*load)();
};

void PrintTo(const DllPlace& place, std::ostream* out)
{
    *out << place.where;
}

class PluginLoadWithoutAddressLibrary : public PluginLoad, public ::testing::WithParamInterface<DllPlace> {};

TEST_P(PluginLoadWithoutAddressLibrary, EndsTheGameWithABoxNamingTheCheck)
{
    EXPECT_EXIT(GetParam().load(), ::testing::ExitedWithCode(1), "");
    RemoveDeepFolder();
    const std::string last = LastLogLine();
    std::smatch check;
    ASSERT_TRUE(std::regex_search(last, check, std::regex(R"(\[critical\] \[ID\.cpp:(\d+)\] )"))) << last;
    EXPECT_THAT(last, HasSubstr("] Failed to find address library file: \n"));
    EXPECT_THAT(last, EndsWith("\\Data\\Zorvik\\Plugins\\versionlib-1-14-70-0-1.bin"));
    const auto lines = ChildRecord::Lines();
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[0], "box recorded");
    EXPECT_THAT(lines[1], StartsWith("MessageBoxW owner=null type=0 caption=LumenveilHUD.dll text=REL\\ID.cpp(" +
                                     check[1].str() + "): Failed to find address library file: \\n"));
    EXPECT_THAT(lines[1], EndsWith("\\Data\\Zorvik\\Plugins\\versionlib-1-14-70-0-1.bin after 2 log lines"));
}

INSTANTIATE_TEST_SUITE_P(BesideTheTestsOrDeep, PluginLoadWithoutAddressLibrary,
                         ::testing::Values(DllPlace{"beside the tests", LoadFromBesideTheTestsWithoutAnAddressLibrary},
                                           DllPlace{"deeper than MAX_PATH", LoadFromALongPathWithoutAnAddressLibrary}));

// Each case a child of its own, since a child re-runs its test from the start.
class PluginLoadIntoWrongGame : public PluginLoad, public ::testing::WithParamInterface<WrongGame> {};

TEST_P(PluginLoadIntoWrongGame, EndsTheGameNamingTheIDAndOffsetBeforeWritingAnything)
{
    const std::string& message = GetParam().message;
    EXPECT_EXIT(LoadIntoWrongGame(GetParam()), ::testing::ExitedWithCode(1), "");
    EXPECT_THAT(PluginLogMessages(), ElementsAre(kStartUpLine, "[critical] [Main.cpp] " + message));
    const std::string last = LastLogLine();
    std::smatch check;
    ASSERT_TRUE(std::regex_search(last, check, std::regex(R"(\[critical\] \[Main\.cpp:(\d+)\] )"))) << last;
    const auto lines = ChildRecord::Lines();
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_THAT(lines[0], StartsWith("call before: "));
    EXPECT_EQ(lines[1], "MessageBoxW owner=null type=0 caption=LumenveilHUD.dll text=entry\\Main.cpp(" +
                            check[1].str() + "): " + message + " after 2 log lines");
    EXPECT_EQ(lines[2], "call at the box: " + lines[0].substr(std::strlen("call before: ")))
        << "nothing written to the call site";
}

// Where this executable's code ends, as an offset from its base: the end of
// its executable ".text" section as loaded, read from its own PE headers.
std::uint64_t CodeEndOffset()
{
    const auto* base = reinterpret_cast<const std::byte*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        if (std::memcmp(section->Name, ".text", 5) == 0 && (section->Characteristics & IMAGE_SCN_MEM_EXECUTE) != 0) {
            return section->VirtualAddress + section->Misc.VirtualSize;
        }
    }
    return 0;
}

// The per-frame function placed so that the call's last `bytesPast` bytes lie
// beyond the end of the code.
std::uint64_t CallEndingPastTheCode(std::uint64_t bytesPast)
{
    return CodeEndOffset() - game_facts::kPerFrameCallOffset - 5 + bytesPast;
}

constexpr std::uint64_t kInTheImagesHeaders = 0;
constexpr std::uint64_t kFarBeyondAnyModule = 0x7000'0000'0000;
constexpr std::uint8_t kJump = 0xE9;
constexpr std::uint8_t kTwoByteOpcodeEscape = 0x0F;  // one digit without its leading zero

INSTANTIATE_TEST_SUITE_P(
    ForeignCodeOrAddress, PluginLoadIntoWrongGame,
    ::testing::Values(
        WrongGame{kJump, {}, "unexpected code at the hooked call: ID 153799 + 0x6F holds 0xE9, not a call (0xE8)"},
        WrongGame{kTwoByteOpcodeEscape,
                  {},
                  "unexpected code at the hooked call: ID 153799 + 0x6F holds 0x0F, not a call (0xE8)"},
        WrongGame{game_facts::kCallRel32Opcode, kInTheImagesHeaders,
                  "unexpected address of the hooked call: ID 153799 + 0x6F lies outside the game's code"},
        WrongGame{game_facts::kCallRel32Opcode, kFarBeyondAnyModule,
                  "unexpected address of the hooked call: ID 153799 + 0x6F lies outside the game's code"},
        WrongGame{game_facts::kCallRel32Opcode, CallEndingPastTheCode(1),
                  "unexpected address of the hooked call: ID 153799 + 0x6F lies outside the game's code"},
        WrongGame{game_facts::kCallRel32Opcode, CallEndingPastTheCode(4),
                  "unexpected address of the hooked call: ID 153799 + 0x6F lies outside the game's code"}));

constexpr const char* kHookNotInstalled =
    "[error] [Main.cpp] the HUD hook was not installed: the game's call at ID 153799 + 0x6F could not be made "
    "writable; the plugin acts only when the game's events reach it (a menu opening shows the HUD, a subtitle "
    "ending or a menu closing may hide it), never on its own each frame";

// The trampoline's line, for the call site the child recorded.
std::string BranchNotWritten(const std::string& siteRecord)
{
    return "[error] [Trampoline.cpp] VirtualProtect failed with code: 0x000001E7; the branch at " +
           siteRecord.substr(std::strlen("call site at ")) + " was not written";
}

TEST_F(PluginLoad, StaysLoadedAndSaysTheHookIsMissingWhenTheCallCannotBeMadeWritable)
{
    EXPECT_EXIT(LoadWithTheHookedCallWriteProtected(), ::testing::ExitedWithCode(0), "");
    const auto lines = ChildRecord::Lines();
    ASSERT_EQ(lines.size(), 4U);
    EXPECT_THAT(lines[0], StartsWith("call site at 0x"));
    EXPECT_THAT(std::vector(lines.begin() + 1, lines.end()),
                ElementsAre("load returned 1", "last loader call: RegisterListener(Zorvik)", "call untouched"));
    EXPECT_THAT(PluginLogMessages(), ElementsAre(kStartUpLine, BranchNotWritten(lines[0]), kHookNotInstalled));
}

TEST_F(PluginLoad, SaysTheHookIsMissingWithLoggingOffToo)
{
    EXPECT_EXIT(LoadLinkedInWithLoggingOffAndTheHookedCallWriteProtected(), ::testing::ExitedWithCode(0), "");
    const auto lines = ChildRecord::Lines();
    ASSERT_EQ(lines.size(), 4U);
    EXPECT_EQ(lines[3], "call untouched");
    EXPECT_THAT(PluginLogMessages(), ElementsAre(BranchNotWritten(lines[0]), kHookNotInstalled));
}

TEST_F(PluginLoad, FlushesTheInstructionCacheForTheFiveBytesOfTheCallOnceWritten)
{
    EXPECT_EXIT(LoadRecordingTheInstructionCacheFlush(), ::testing::ExitedWithCode(0), "");
    const auto lines = ChildRecord::Lines();
    ASSERT_EQ(lines.size(), 4U);
    const std::string after = lines[3].substr(std::strlen("call after: "));
    EXPECT_NE(lines[0], "call before: " + after) << "the call was patched";
    EXPECT_THAT(lines, ElementsAre(StartsWith("call before: E8 "),
                                   "flushed this process at the call site, 5 bytes, holding " + after,
                                   "load returned 1", StartsWith("call after: E8 ")));
}

TEST_F(PluginLoad, StampsTheFourTimersFromFourConsecutiveClockReadings)
{
    EXPECT_EXIT(LoadLinkedInAndRecordTheTimersStamped(), ::testing::ExitedWithCode(0), "");
    EXPECT_THAT(ChildRecord::Lines(), ElementsAre("UnityGraceStartTime +0 ms", "HUDQueuedToDisableTime +1 ms",
                                                  "LongHUDMessageTime +2 ms", "LastUpdateTime +3 ms"));
}

}  // namespace
