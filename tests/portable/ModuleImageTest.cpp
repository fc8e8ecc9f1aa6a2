#include "REL/ModulePortable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

TEST(ProductVersionText, FillsMissingPartsWithZeroKeepsLow16BitsAndRefusesAPieceThatIsNoNumber)
{
    using REL::detail::parse_product_version;
    EXPECT_EQ(parse_product_version(L"1.8.86.0"), (REL::Version{1, 8, 86, 0}));
    EXPECT_EQ(parse_product_version(L"1.8."), (REL::Version{1, 8, 0, 0}));
    EXPECT_EQ(parse_product_version(L"70000.1.2.3"), (REL::Version{4464, 1, 2, 3}));
    EXPECT_EQ(parse_product_version(L" 1.+2.3x.4.5"), (REL::Version{1, 2, 3, 4}));
    EXPECT_EQ(parse_product_version(L""), (REL::Version{0, 0, 0, 0}));
    EXPECT_EQ(parse_product_version(L"-1.0"), (REL::Version{0xFFFF, 0, 0, 0}));
    for (const wchar_t* text : {L"a.1", L"1..2", L"1.x", L"2147483648.0", L"-2147483649", L"1. "}) {
        EXPECT_EQ(parse_product_version(text), std::nullopt) << std::filesystem::path(text).string();
    }
}

}  // namespace

namespace {

// A module image as the loader lays it out, only as far as its section table:
// the PE format's own offsets (the NT headers' offset at 0x3C, the section
// count 6 bytes into them, the optional header's size at 20, the section
// table 24 bytes after that, 40-byte section headers with the name first,
// the virtual size at 8, the address at 12, the characteristics at 36).
struct SectionHeader {
    std::string name;
    std::uint32_t characteristics;
    std::uint32_t address;
    std::uint32_t size;
};

constexpr std::uint32_t kCode = 0x00000020;
constexpr std::uint32_t kExecute = 0x20000000;
constexpr std::uint32_t kRead = 0x40000000;
constexpr std::uint32_t kWrite = 0x80000000;

class ModuleImage {
public:
    explicit ModuleImage(const std::vector<SectionHeader>& sections) : bytes_(0x1000)
    {
        constexpr std::size_t kNtHeaders = 0x80;
        constexpr std::uint16_t kOptionalHeaderSize = 0xF0;
        Write<std::int32_t>(0x3C, kNtHeaders);
        Write<std::uint16_t>(kNtHeaders + 6, static_cast<std::uint16_t>(sections.size()));
        Write<std::uint16_t>(kNtHeaders + 20, kOptionalHeaderSize);
        std::size_t header = kNtHeaders + 24 + kOptionalHeaderSize;
        for (const auto& section : sections) {
            std::memcpy(bytes_.data() + header, section.name.data(), std::min<std::size_t>(section.name.size(), 8));
            Write(header + 8, section.size);
            Write(header + 12, section.address);
            Write(header + 36, section.characteristics);
            header += 40;
        }
    }

    [[nodiscard]] std::uint64_t base() const { return reinterpret_cast<std::uintptr_t>(bytes_.data()); }

private:
    template <class T>
    void Write(std::size_t offset, T value)
    {
        std::memcpy(bytes_.data() + offset, &value, sizeof(value));
    }

    std::vector<std::byte> bytes_;
};

struct SegmentSeen {
    REL::SegmentKind kind;
    std::uint32_t address;  // from the base; 0 with size 0: none found
    std::uint32_t size;
};

// Which section fills which kind: the code by its name and its execute flag,
// a writable code section apart, only the first eight headers, and a later
// section of a kind in place of an earlier one.
TEST(ModuleSections, EachKindIsTheLastOfItsSectionsAmongTheFirstEight)
{
    using Kind = REL::SegmentKind;
    struct Case {
        const char* what;
        std::vector<SectionHeader> sections;
        std::vector<SegmentSeen> expected;
    };
    const std::vector<Case> cases{
        {"executable code",
         {{".text", kCode | kExecute | kRead, 0x1000, 0x500}},
         {{Kind::TextExecutable, 0x1000, 0x500}, {Kind::TextWritable, 0, 0}}},
        {"code both executable and writable counts as executable only",
         {{".text", kCode | kExecute | kRead | kWrite, 0x1000, 0x500}},
         {{Kind::TextExecutable, 0x1000, 0x500}, {Kind::TextWritable, 0, 0}}},
        {"code writable but not executable",
         {{".text", kCode | kRead | kWrite, 0x1000, 0x500}},
         {{Kind::TextExecutable, 0, 0}, {Kind::TextWritable, 0x1000, 0x500}}},
        {"a name that merely starts with .text",
         {{".textbss", kCode | kExecute | kRead, 0x3000, 0x200}},
         {{Kind::TextExecutable, 0x3000, 0x200}}},
        {"code without the execute flag is no executable code",
         {{".text", kCode | kRead, 0x1000, 0x500}},
         {{Kind::TextExecutable, 0, 0}, {Kind::TextWritable, 0, 0}}},
        {"a later section of the same kind replaces an earlier one",
         {{".text", kExecute, 0x1000, 0x500},
          {".data", kRead | kWrite, 0x2000, 0x100},
          {".text", kExecute, 0x4000, 0x80}},
         {{Kind::TextExecutable, 0x4000, 0x80}, {Kind::Data, 0x2000, 0x100}}},
        {"a ninth section is not read",
         {{".text", kExecute, 0x1000, 0x10},
          {".rdata", kRead, 0x2000, 0x10},
          {".pdata", kRead, 0x3000, 0x10},
          {".idata", kRead, 0x4000, 0x10},
          {".tls", kRead, 0x5000, 0x10},
          {".gfids", kRead, 0x6000, 0x10},
          {".reloc", kRead, 0x7000, 0x10},
          {".rsrc", kRead, 0x8000, 0x10},
          {".data", kRead | kWrite, 0x9000, 0x10}},
         {{Kind::TextExecutable, 0x1000, 0x10},
          {Kind::ControlFlowGuardIds, 0x6000, 0x10},
          {Kind::ThreadLocalStorage, 0x5000, 0x10},
          {Kind::Data, 0, 0}}},
        {"the eighth is read",
         {{".a", 0, 0x1000, 0x10},
          {".b", 0, 0x2000, 0x10},
          {".c", 0, 0x3000, 0x10},
          {".d", 0, 0x4000, 0x10},
          {".e", 0, 0x5000, 0x10},
          {".f", 0, 0x6000, 0x10},
          {".g", 0, 0x7000, 0x10},
          {".data", kRead | kWrite, 0x8000, 0x10}},
         {{Kind::Data, 0x8000, 0x10}}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.what);
        const ModuleImage image(row.sections);
        const auto segments = REL::detail::read_segments(image.base());
        for (const auto& [kind, address, size] : row.expected) {
            const REL::Segment& segment = segments[static_cast<std::size_t>(kind)];
            SCOPED_TRACE(static_cast<int>(kind));
            EXPECT_EQ(segment.size, size);
            EXPECT_EQ(segment.address, size == 0 ? 0 : image.base() + address);
        }
    }
}

}  // namespace
