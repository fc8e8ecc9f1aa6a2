#include "REL/ModulePortable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

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
