#include "REL/ModuleImage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace {

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
