#include "settings/SettingValueParsers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// Each text of `accepted` gives its value; each of `refused` gives nothing.
template <class Value, class Parser>
void ExpectParsed(Parser parse, const std::vector<std::pair<std::string, Value>>& accepted,
                  const std::vector<std::string>& refused)
{
    for (const auto& [text, value] : accepted) {
        EXPECT_EQ(parse(text), value) << "\"" << text << "\"";
    }
    for (const auto& text : refused) {
        EXPECT_EQ(parse(text), std::nullopt) << "\"" << text << "\"";
    }
}

TEST(BooleanValues, OnlyTheTextOneIsTrue)
{
    EXPECT_TRUE(ParseBoolean("1"));
    for (const char* text : {"true", "yes", "0", "2", " 1", "1 ", "01", "TRUE"}) {
        EXPECT_FALSE(ParseBoolean(text)) << text;
    }
}

TEST(DigitsValues, AcceptOnlyPlainDecimalDigitsThatFitInt32)
{
    ExpectParsed<std::int32_t>(&ParseDigits, {{"0", 0}, {"2147483647", 2147483647}, {"000123", 123}},
                               {"-5", "+5", "5x", " 5", "1.5", "0x10", "2147483648"});
}

TEST(FlagValues, AcceptSignedDecimalsByTheirLongestPrefix)
{
    // The conversion stops at a stray minus.
    ExpectParsed<std::int32_t>(&ParseFlag, {{"0", 0}, {"-0", 0}, {"1", 1}, {"-1", -1}, {"1-", 1}},
                               {"-", "--1", "+1", "1.0", "a", "-2147483649"});
}

TEST(DecimalValues, ReadTheLongestValidPrefixOfPlainDecimals)
{
    ExpectParsed<float>(&ParseDecimal,
                        {{"100", 100.0F}, {"12.5.3", 12.5F}, {".5", 0.5F}, {"-.5", -0.5F}, {"25.", 25.0F}},
                        {"-", ".", "-.", "1e2", "+1", " 1", "inf", "nan", "0x1p3", "1,5", std::string(60, '9')});
}

// The C library's unsigned base-16 conversion: prefix, suffix and white space
// as it takes them, no overflow.
TEST(KeyCodeValues, FollowTheUnsignedBase16ConversionOfTheCLibrary)
{
    for (const char* text : {"70", "0x70", "0X70", "70h", " \t\r\n\v\f70", "+70", "0000000000000070"}) {
        EXPECT_EQ(ParseKeyCode(text), 0x70U) << text;
    }
    // A lone prefix reads as the digit 0; negation is modulo 2 to the 32nd.
    ExpectParsed<std::uint32_t>(&ParseKeyCode, {{"112", 0x112U}, {"ff", 0xFFU}, {"0x", 0U}, {"0xg", 0U}}, {});
    ExpectParsed<std::uint32_t>(&ParseKeyCode, {{"FFFFFFFF", 0xFFFFFFFFU}, {"-1", 0xFFFFFFFFU}, {"-FFFFFFFF", 1U}},
                                {"", " ", "G1", "-", "+", "--1", "- 1", "+-1", "x70", "\xC3\xA9", "100000000",
                                 "-100000000", std::string(9999, 'F')});
}

// The INI reader hands each parser a view of its value: none may read past
// the view's end, which the sanitizers see in a buffer of exactly its size.
TEST(AllValues, AreReadWithinTheirText)
{
    for (const std::string text : {"0x", "0X", "-0x", " 0x", "0", "-", ".", "-.", "12.5.3", "2147483647", "70h"}) {
        const auto exact = std::make_unique<char[]>(text.size());
        std::memcpy(exact.get(), text.data(), text.size());
        const std::string_view view(exact.get(), text.size());
        EXPECT_EQ(ParseKeyCode(view), ParseKeyCode(text)) << text;
        EXPECT_EQ(ParseDigits(view), ParseDigits(text)) << text;
        EXPECT_EQ(ParseFlag(view), ParseFlag(text)) << text;
        EXPECT_EQ(ParseDecimal(view), ParseDecimal(text)) << text;
    }
}

}  // namespace
