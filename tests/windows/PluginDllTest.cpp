#include "support/TestExecutable.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;

// The built DLL, loaded as the loader loads it.
class PluginDll : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        module = LoadLibraryW((TestExecutable::directory() / "LumenveilHUD.dll").c_str());
        ASSERT_NE(module, nullptr) << GetLastError();
    }
    static void TearDownTestSuite() { FreeLibrary(module); }

    template <class T>
    static const T* at_rva(DWORD rva)
    {
        return reinterpret_cast<const T*>(reinterpret_cast<const std::uint8_t*>(module) + rva);
    }

    static const IMAGE_DATA_DIRECTORY& directory(int index)
    {
        const auto* dos = at_rva<IMAGE_DOS_HEADER>(0);
        const auto* nt = at_rva<IMAGE_NT_HEADERS64>(static_cast<DWORD>(dos->e_lfanew));
        return nt->OptionalHeader.DataDirectory[index];
    }

    static inline HMODULE module = nullptr;
};

TEST_F(PluginDll, ExportsTheVersionRecordTheLoaderExpectsByteForByte)
{
    std::vector<std::uint8_t> expected(604, 0);
    // Little-endian, as the loader reads it.
    const auto put_u32 = [](auto& bytes, std::size_t at, std::uint32_t value) { std::memcpy(&bytes[at], &value, 4); };
    const auto put_text = [](auto& bytes, std::size_t at, const char* text) {
        std::memcpy(&bytes[at], text, std::strlen(text));
    };
    put_u32(expected, 0x000, 1);
    put_u32(expected, 0x004, 0x03050000);
    put_text(expected, 0x008, "Lumenveil HUD - Zorvik Plugin by Quennart");
    put_text(expected, 0x108, "Quennart");
    put_u32(expected, 0x208, 2);
    put_u32(expected, 0x20C, 8);
    put_u32(expected, 0x210, 0x010E0460);

    const auto* record =
        reinterpret_cast<const std::uint8_t*>(reinterpret_cast<void*>(GetProcAddress(module, "ZorvikPlugin_Version")));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(std::vector<std::uint8_t>(record, record + 604), expected);
}

TEST_F(PluginDll, ExportsTheLoadFunctionAndNothingElse)
{
    const auto& exports = directory(IMAGE_DIRECTORY_ENTRY_EXPORT);
    ASSERT_NE(exports.VirtualAddress, 0U);
    const auto* table = at_rva<IMAGE_EXPORT_DIRECTORY>(exports.VirtualAddress);
    const auto* names = at_rva<DWORD>(table->AddressOfNames);
    std::vector<std::string> exported;
    for (DWORD i = 0; i < table->NumberOfNames; ++i) {
        exported.emplace_back(at_rva<char>(names[i]));
    }
    EXPECT_THAT(exported, ElementsAre("ZorvikPlugin_Load", "ZorvikPlugin_Version"));
    EXPECT_EQ(table->NumberOfFunctions, 2U);
}

TEST_F(PluginDll, ImportsNoMinGWRuntime)
{
    const auto& imports = directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
    ASSERT_NE(imports.VirtualAddress, 0U);
    std::vector<std::string> libraries;
    for (const auto* entry = at_rva<IMAGE_IMPORT_DESCRIPTOR>(imports.VirtualAddress); entry->Name != 0; ++entry) {
        std::string name = at_rva<char>(entry->Name);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](char c) { return static_cast<char>(std::tolower(c)); });
        libraries.push_back(name);
    }
    ASSERT_FALSE(libraries.empty());
    for (const auto& name : libraries) {
        EXPECT_EQ(name.find("libstdc++"), std::string::npos) << name;
        EXPECT_EQ(name.find("libgcc"), std::string::npos) << name;
        EXPECT_EQ(name.find("winpthread"), std::string::npos) << name;
    }
}

}  // namespace
