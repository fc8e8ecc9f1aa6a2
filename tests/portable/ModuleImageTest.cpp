#include "REL/ModuleImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using REL::SegmentKind;

constexpr std::uint32_t kExecute = 0x20000000;
constexpr std::uint32_t kWrite = 0x80000000;
constexpr std::uint32_t kRead = 0x40000000;

// A PE image as laid out in memory, headers only, with the sections given.
class FakeImage {
public:
    struct Section {
        std::string name;
        std::uint32_t virtualAddress;
        std::uint32_t virtualSize;
        std::uint32_t characteristics;
    };

    explicit FakeImage(const std::vector<Section>& sections) : bytes_(0x1000, 0)
    {
        constexpr std::uint32_t ntHeaders = 0x80;
        constexpr std::uint16_t optionalHeaderSize = 0xF0;
        put<std::int32_t>(0x3C, ntHeaders);
        put<std::uint32_t>(ntHeaders, 0x00004550);  // "PE\0\0"
        put<std::uint16_t>(ntHeaders + 6, static_cast<std::uint16_t>(sections.size()));
        put<std::uint16_t>(ntHeaders + 20, optionalHeaderSize);
        std::size_t header = ntHeaders + 24 + optionalHeaderSize;
        for (const auto& section : sections) {
            std::memcpy(&bytes_[header], section.name.data(), std::min<std::size_t>(section.name.size(), 8));
            put<std::uint32_t>(header + 8, section.virtualSize);
            put<std::uint32_t>(header + 12, section.virtualAddress);
            put<std::uint32_t>(header + 36, section.characteristics);
            header += 40;
        }
    }

    [[nodiscard]] std::uint64_t base() const { return reinterpret_cast<std::uintptr_t>(bytes_.data()); }

private:
    template <class T>
    void put(std::size_t at, T value)
    {
        std::memcpy(&bytes_[at], &value, sizeof(value));
    }

    std::vector<std::uint8_t> bytes_;
};

TEST(ModuleSegments, MapsEachMainSectionToItsKind)
{
    const FakeImage image({{".text", 0x1000, 0x5000, kExecute | kRead},
                           {".rdata", 0x6000, 0x800, kRead},
                           {".data", 0x7000, 0x300, kRead | kWrite},
                           {".pdata", 0x8000, 0x100, kRead},
                           {".tls", 0x9000, 0x10, kRead | kWrite},
                           {".idata", 0xA000, 0x200, kRead}});
    const auto segments = REL::detail::read_segments(image.base());
    const auto& text = segments[static_cast<std::size_t>(SegmentKind::TextExecutable)];
    EXPECT_EQ(text.proxyBase, image.base());
    EXPECT_EQ(text.address, image.base() + 0x1000);
    EXPECT_EQ(text.size, 0x5000U);
    EXPECT_EQ(segments[static_cast<std::size_t>(SegmentKind::ReadOnlyData)].address, image.base() + 0x6000);
    EXPECT_EQ(segments[static_cast<std::size_t>(SegmentKind::Data)].size, 0x300U);
    EXPECT_EQ(segments[static_cast<std::size_t>(SegmentKind::ExceptionData)].address, image.base() + 0x8000);
    EXPECT_EQ(segments[static_cast<std::size_t>(SegmentKind::ThreadLocalStorage)].size, 0x10U);
    EXPECT_EQ(segments[static_cast<std::size_t>(SegmentKind::ImportData)].address, image.base() + 0xA000);
    EXPECT_EQ(segments[static_cast<std::size_t>(SegmentKind::TextWritable)].address, 0U);
    EXPECT_EQ(segments[static_cast<std::size_t>(SegmentKind::ControlFlowGuardIds)].address, 0U);
}

TEST(ProductVersionText, FillsMissingPartsWithZeroKeepsLow16BitsAndRefusesAPieceThatIsNoNumber)
{
    const std::pair<const wchar_t*, std::optional<REL::Version>> cases[] = {
        {L"1.8.86.0", REL::Version{1, 8, 86, 0}}, {L"1.8", REL::Version{1, 8, 0, 0}},
        {L"1.8.", REL::Version{1, 8, 0, 0}},      {L"70000.1.2.3", REL::Version{4464, 1, 2, 3}},
        {L" 1.+2.3x.4.5", REL::Version{1, 2, 3, 4}}, {L"", REL::Version{0, 0, 0, 0}},
        {L"-1.0", REL::Version{0xFFFF, 0, 0, 0}}, {L"a.1", std::nullopt},
        {L"1..2", std::nullopt},                  {L"1.x", std::nullopt},
        {L"2147483648.0", std::nullopt},          {L"-2147483649", std::nullopt},
        {L"1. ", std::nullopt}};
    for (const auto& [text, version] : cases) {
        EXPECT_EQ(REL::detail::parse_product_version(text), version) << std::filesystem::path(text).string();
    }
}

}  // namespace
