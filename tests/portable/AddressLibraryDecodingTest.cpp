#include "AddressLibraryWriter.h"
#include "REL/ID.h"
#include "support/ExpectFatal.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

namespace {

using REL::database::header_t;
using REL::database::istream_t;
using REL::database::mapping_t;

constexpr std::array<std::uint32_t, 4> kVersion{1, 14, 70, 0};

struct Decoded {
    header_t header;
    std::vector<mapping_t> table;
};

Decoded Decode(istream_t& input)
{
    Decoded decoded;
    decoded.header.read(input);
    decoded.table.resize(decoded.header.addressCount);
    REL::database::unpack(input, decoded.header, decoded.table);
    return decoded;
}

Decoded Decode(const addresslib::Writer& writer)
{
    istream_t input(writer.bytes());
    return Decode(input);
}

MATCHER_P2(IsEntry, id, offset, "")
{
    return arg.id == static_cast<std::uint64_t>(id) && arg.offset == static_cast<std::uint64_t>(offset);
}

TEST(AddressLibraryHeader, KeepsTheLow16BitsOfEachVersionPart)
{
    addresslib::Writer writer({0x10001, 0xFFFF0002, 70, 0x20000});
    EXPECT_EQ(Decode(writer).header.version, (REL::Version{1, 2, 70, 0}));
}

TEST(AddressLibraryHeader, ReadsTheFieldsAfterTheNameAndKeepsAShortOneOrTheStartOfALongOne)
{
    for (const std::string& name : {std::string("short"), std::string(300, 'n') + "tail"}) {
        addresslib::Writer writer({1, 14, 70, 0}, 4);
        writer.name = name;
        writer.add(7, 0x40);
        const auto decoded = Decode(writer);
        EXPECT_EQ(decoded.header.version, (REL::Version{1, 14, 70, 0}));
        EXPECT_EQ(std::string(decoded.header.name.data()), name.substr(0, 19));
        EXPECT_EQ(decoded.header.pointerSize, 4U);
        EXPECT_THAT(decoded.table, ::testing::ElementsAre(IsEntry(7, 0x40)));
    }
}

// Every ID mode with every offset mode, scaled and not, decodes to what was
// written.
TEST(AddressLibraryEntries, DecodeEveryModePairWithAndWithoutScaling)
{
    addresslib::Writer writer(kVersion, 8);
    std::vector<std::pair<std::uint64_t, std::uint64_t>> expected;
    std::uint64_t id = 0;
    std::uint64_t offset = 0;
    for (unsigned idMode = 0; idMode < 8; ++idMode) {
        for (unsigned offsetMode = 0; offsetMode < 8; ++offsetMode) {
            for (const bool scaled : {false, true}) {
                // Values each mode can express from where the last entry ended.
                const auto next = [](unsigned mode, std::uint64_t previous) {
                    return std::array<std::uint64_t, 8>{
                        0x0123'4567'89AB'CDE0ULL, previous + 1,      previous + 0x7F, previous - 0x12,
                        previous + 0x1234,        previous - 0x0234, 0xBEEF,          0x0DEADBEE}[mode];
                };
                id = next(idMode, id);
                offset = scaled ? next(offsetMode, offset / 8) * 8 : next(offsetMode, offset);
                writer.add(id, offset, {idMode, offsetMode, scaled});
                expected.emplace_back(id, offset);
            }
        }
    }
    const auto decoded = Decode(writer);
    ASSERT_EQ(decoded.table.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_THAT(decoded.table[i], IsEntry(expected[i].first, expected[i].second)) << "entry " << i;
    }
}

TEST(AddressLibraryEntries, WrapAroundBelowZero)
{
    addresslib::Writer writer(kVersion, 8);
    writer.add(0xFFFF'FFFF'FFFF'FFFFULL, 0xFFFF'FFFF'FFFF'FFF0ULL, {3, 5, false});
    writer.add(0, 0x10, {1, 4, false});
    EXPECT_THAT(Decode(writer).table,
                ::testing::ElementsAre(IsEntry(0xFFFF'FFFF'FFFF'FFFFULL, 0xFFFF'FFFF'FFFF'FFF0ULL), IsEntry(0, 0x10)));
}

TEST(AddressLibraryEntries, RejectIdModesAboveSeven)
{
    addresslib::Writer writer(kVersion);
    writer.add(1, 2).add_invalid_type(0x08);
    EXPECT_FATAL(Decode(writer), "unhandled type");
}

TEST(AddressLibraryFile, FailsAsAStreamWhereverItEnds)
{
    addresslib::Writer writer(kVersion);
    writer.name = "name";
    writer.add(0x0123'4567'89AB'CDEFULL, 0xFEDC'BA98'7654'3210ULL, {0, 0, false});
    const auto bytes = writer.bytes();
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        istream_t input(std::vector<std::byte>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)));
        EXPECT_THROW(Decode(input), std::ios_base::failure) << length;
    }
}

TEST(AddressLibraryTable, IndexedLookupsFindWhatTheBinarySearchFinds)
{
    std::mt19937_64 random(42);
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{31}, std::size_t{32}, std::size_t{33},
                                   std::size_t{64}, std::size_t{1000}}) {
        std::vector<mapping_t> table;
        std::uint64_t id = random() % 3;
        for (std::size_t i = 0; i < size; ++i) {
            id += random() % 3;  // gaps and runs of equal IDs, across block edges too
            table.push_back({id, i});
        }
        REL::database::lookup_index index;
        index.build(table);
        for (std::uint64_t wanted = 0; wanted <= id + 2; ++wanted) {
            EXPECT_EQ(index.find(table, wanted), REL::database::find(table, wanted))
                << "size " << size << ", ID " << wanted;
        }
    }
}

// The writer's bytes pinned down once, so that a fault shared by the writer and
// the reader cannot hide behind their agreement.
TEST(AddressLibraryWriter, PacksHeaderThenTypeByteIdOperandAndOffsetOperand)
{
    addresslib::Writer writer({1, 2, 3, 4}, 8);
    writer.name = "ab";
    writer.add(0x10, 0x1234, {2, 4, false});
    writer.add(0x11, 0x1238, {1, 1, true});  // (0x1234 / 8 + 1) * 8
    const std::vector<std::uint8_t> expected{
        2,    0,    0,    0,    1,   0,   0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0,  // format, version
        2,    0,    0,    0,    'a', 'b',                                            // name
        8,    0,    0,    0,    2,   0,   0, 0,                                      // pointer size, count
        0x42, 0x10, 0x34, 0x12,                                                      // +0x10, +0x1234
        0x91,                                                                        // +1, scaled +1
    };
    const auto bytes = writer.bytes();
    EXPECT_EQ(std::vector<std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                        reinterpret_cast<const std::uint8_t*>(bytes.data()) + bytes.size()),
              expected);
}

}  // namespace

#ifndef _WIN32
// The native stand-in of the address library fails as the game's does.
TEST(NativeAddresses, AnUnknownIDIsTheFatalReportOfTheAddressLibrary)
{
    EXPECT_FATAL(static_cast<void>(REL::ID(999'999'999).address()),
                 "Failed to find the id within the address library: 999999999");
}
#endif
