#include "SettingValueParsers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(BooleanValues, OnlyTheTextOneIsTrue)
{
    EXPECT_TRUE(ParseBoolean("1"));
    for (const char* text : {"true", "yes", "0", "2", " 1", "1 ", "01", "TRUE"}) {
        EXPECT_FALSE(ParseBoolean(text)) << text;
    }
}

TEST(DigitsValues, AcceptOnlyPlainDecimalDigitsThatFitInt32)
{
    EXPECT_EQ(ParseDigits("0"), 0);
    EXPECT_EQ(ParseDigits("2147483647"), 2147483647);
    EXPECT_EQ(ParseDigits("000123"), 123);
    for (const char* text : {"-5", "+5", "5x", " 5", "1.5", "0x10", "2147483648", "99999999999"}) {
        EXPECT_EQ(ParseDigits(text), std::nullopt) << text;
    }
}

TEST(FlagValues, AcceptSignedDecimalsByTheirLongestPrefix)
{
    EXPECT_EQ(ParseFlag("0"), 0);
    EXPECT_EQ(ParseFlag("-0"), 0);
    EXPECT_EQ(ParseFlag("1"), 1);
    EXPECT_EQ(ParseFlag("-1"), -1);
    EXPECT_EQ(ParseFlag("1-"), 1);  // the conversion stops at the stray minus
    for (const char* text : {"-", "--1", "+1", "1.0", "a", "-2147483649"}) {
        EXPECT_EQ(ParseFlag(text), std::nullopt) << text;
    }
}

TEST(DecimalValues, ReadTheLongestValidPrefixOfPlainDecimals)
{
    EXPECT_EQ(ParseDecimal("100"), 100.0F);
    EXPECT_EQ(ParseDecimal("12.5.3"), 12.5F);
    EXPECT_EQ(ParseDecimal(".5"), 0.5F);
    EXPECT_EQ(ParseDecimal("-.5"), -0.5F);
    EXPECT_EQ(ParseDecimal("25."), 25.0F);
    EXPECT_EQ(ParseDecimal("-1"), -1.0F);
    for (const char* text : {"-", ".", "-.", "1e2", "+1", " 1", "inf", "nan", "0x1p3", "1,5"}) {
        EXPECT_EQ(ParseDecimal(text), std::nullopt) << text;
    }
    EXPECT_EQ(ParseDecimal(std::string(60, '9')), std::nullopt) << "overflow";
}

TEST(KeyCodeValues, FollowTheUnsignedBase16ConversionOfTheCLibrary)
{
    EXPECT_EQ(ParseKeyCode("70"), 0x70U);
    EXPECT_EQ(ParseKeyCode("0x70"), 0x70U);
    EXPECT_EQ(ParseKeyCode("0X70"), 0x70U);
    EXPECT_EQ(ParseKeyCode("70h"), 0x70U);
    EXPECT_EQ(ParseKeyCode("112"), 0x112U);
    EXPECT_EQ(ParseKeyCode("FF"), 0xFFU);
    EXPECT_EQ(ParseKeyCode("ff"), 0xFFU);
    EXPECT_EQ(ParseKeyCode(" \t\r\n\v\f2"), 2U);
    EXPECT_EQ(ParseKeyCode("+2"), 2U);
    EXPECT_EQ(ParseKeyCode("0x"), 0U) << "a lone prefix reads as the digit 0";
    EXPECT_EQ(ParseKeyCode("0xg"), 0U);
    EXPECT_EQ(ParseKeyCode("FFFFFFFF"), 0xFFFFFFFFU);
    EXPECT_EQ(ParseKeyCode("0000000000000002"), 2U) << "leading zeros do not overflow";
}

TEST(KeyCodeValues, NegateModulo2To32)
{
    EXPECT_EQ(ParseKeyCode("-1"), 0xFFFFFFFFU);
    EXPECT_EQ(ParseKeyCode("-FFFFFFFF"), 1U);
    EXPECT_EQ(ParseKeyCode("-0"), 0U);
}

TEST(KeyCodeValues, RejectTextsWithoutANumberAndOverflow)
{
    for (const char* text : {"", " ", "G1", "-", "+", "--1", "- 1", "+-1", "x70", "\xC3\xA9"}) {
        EXPECT_EQ(ParseKeyCode(text), std::nullopt) << text;
    }
    EXPECT_EQ(ParseKeyCode("100000000"), std::nullopt) << "33 bits";
    EXPECT_EQ(ParseKeyCode("-100000000"), std::nullopt);
    EXPECT_EQ(ParseKeyCode(std::string(9999, 'F')), std::nullopt);
}

}  // namespace
