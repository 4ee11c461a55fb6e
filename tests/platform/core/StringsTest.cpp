#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "platform/Strings.h"

using namespace fw;
using namespace std::string_literals;

namespace {

const std::string kEuro = "\xE2\x82\xAC"; // one character, three bytes
const std::string kSmile = "\xF0\x9F\x98\x80"; // one character, four bytes

} // namespace

TEST(Strings, LenCountsCharactersAndEveryStrayByteAsOne)
{
    EXPECT_EQ(Len(""), 0);
    EXPECT_EQ(Len("abc"), 3);
    EXPECT_EQ(Len("h\xC3\xA9llo"), 5);
    EXPECT_EQ(Len(kEuro + kSmile), 2);
    EXPECT_EQ(Len("\xFF\xFE"), 2);
    EXPECT_EQ(Len("\xE2\x82"), 2) << "a sequence cut short is two stray bytes";
    EXPECT_EQ(Len("\xC0\xAF"), 2) << "overlong forms are not characters";
    EXPECT_EQ(Len("\xED\xA0\x80"), 3) << "surrogates are not characters";
    EXPECT_EQ(Len("\xF4\x90\x80\x80"), 4) << "beyond U+10FFFF";
    EXPECT_EQ(Len("a\0b"s), 3);
}

TEST(Strings, MidTakesCharactersAndClampsItsArguments)
{
    const std::string s = "h\xC3\xA9llo" + kEuro; // h é l l o €
    EXPECT_EQ(Mid(s, 2, 3), "\xC3\xA9ll");
    EXPECT_EQ(Mid(s, 6, 1), kEuro);
    EXPECT_EQ(Mid(s, 6), kEuro);
    EXPECT_EQ(Mid(s, 0, 2), "h\xC3\xA9");
    EXPECT_EQ(Mid(s, -5), s);
    EXPECT_EQ(Mid(s, 2, -1), "");
    EXPECT_EQ(Mid(s, 2, 0), "");
    EXPECT_EQ(Mid(s, 7), "");
    EXPECT_EQ(Mid(s, 100, 5), "");
    EXPECT_EQ(Mid(s, 5, 1000), "o" + kEuro);
    EXPECT_EQ(Mid(s, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()), s);

    // Stray bytes come back exactly as they were.
    EXPECT_EQ(Mid("a\xFF" "b\xE2\x82", 2, 1), "\xFF");
    EXPECT_EQ(Mid("a\xFF" "b\xE2\x82", 4), "\xE2\x82");
    EXPECT_EQ(Mid("#ScaleFactor 1", 1, 1), "#");
}

TEST(Strings, InStrFindsWholeCharactersFromItsStart)
{
    EXPECT_EQ(InStr("#UseRotation True", " "), 13);
    EXPECT_EQ(InStr("abcabc", "c"), 3);
    EXPECT_EQ(InStr(4, "abcabc", "a"), 4);
    EXPECT_EQ(InStr(5, "abcabc", "a"), 0);
    EXPECT_EQ(InStr(0, "abc", "a"), 1);
    EXPECT_EQ(InStr(-7, "abc", "c"), 3);
    EXPECT_EQ(InStr("ABC", "b"), 0) << "InStr is case-sensitive";
    EXPECT_EQ(InStr("abc", "abcd"), 0);

    // Positions count characters, not bytes.
    EXPECT_EQ(InStr("\xC3\xA4" "bc", "c"), 3);
    EXPECT_EQ(InStr(2, kEuro + "x" + kEuro, kEuro), 3);
    EXPECT_EQ(InStr("\xFF\xFEx", "x"), 3);

    // A match may not start or end inside a character.
    EXPECT_EQ(InStr(kEuro, "\x82\xAC"), 0);
    EXPECT_EQ(InStr(kEuro, "\xE2"), 0);
    EXPECT_EQ(InStr(kEuro + "\x82\xAC", "\x82\xAC"), 2);

    // The empty text is found where the search starts, up to one past the end.
    EXPECT_EQ(InStr("abc", ""), 1);
    EXPECT_EQ(InStr(4, "abc", ""), 4);
    EXPECT_EQ(InStr(5, "abc", ""), 0);
    EXPECT_EQ(InStr("", ""), 1);
}

TEST(Strings, NthFieldSplitsAndAnswersEmptyBeyondTheFields)
{
    EXPECT_EQ(NthField("120,-40", ",", 1), "120");
    EXPECT_EQ(NthField("120,-40", ",", 2), "-40");
    EXPECT_EQ(NthField("120,-40", ",", 3), "");
    EXPECT_EQ(NthField("120", ",", 1), "120");
    EXPECT_EQ(NthField("120", ",", 2), "");
    EXPECT_EQ(NthField("a,b", ",", 0), "");
    EXPECT_EQ(NthField("a,b", ",", -1), "");
    EXPECT_EQ(NthField("a,,b", ",", 2), "");
    EXPECT_EQ(NthField("a,,b", ",", 3), "b");
    EXPECT_EQ(NthField("a,", ",", 2), "");
    EXPECT_EQ(NthField("", ",", 1), "");
    EXPECT_EQ(NthField("a::b::c", "::", 3), "c");
    EXPECT_EQ(NthField("a" + kEuro + "b", kEuro, 2), "b");
    EXPECT_EQ(NthField(kEuro + "," + kEuro, "\xAC", 2), "") << "no split inside a character";
    EXPECT_EQ(NthField("a,b", "", 1), "a,b");
    EXPECT_EQ(NthField("a,b", "", 2), "");
}

TEST(Strings, LowercaseHandlesUnicodeAndKeepsStrayBytes)
{
    EXPECT_EQ(Lowercase("ScaleFactor WINDOW1position"), "scalefactor window1position");
    EXPECT_EQ(Lowercase("\xC3\x84PFEL \xCE\xA3"), "\xC3\xA4pfel \xCF\x83"); // ÄPFEL Σ
    EXPECT_EQ(Lowercase(kEuro + kSmile), kEuro + kSmile);
    EXPECT_EQ(Lowercase("A\xFF" "B\xC3"), "a\xFF" "b\xC3");
    EXPECT_EQ(Lowercase("\xE2\x82" "Z"), "\xE2\x82" "z");
    EXPECT_EQ(Lowercase(""), "");
}

TEST(Strings, StrEqIgnoresCaseButNotDamage)
{
    EXPECT_TRUE(StrEq("scalefactor", "ScaleFactor"));
    EXPECT_TRUE(StrEq("TRUE", "true"));
    EXPECT_TRUE(StrEq("", ""));
    EXPECT_FALSE(StrEq("abc", "abd"));
    EXPECT_FALSE(StrEq("abc", "abcd"));
    EXPECT_FALSE(StrEq("abcd", "abc"));
    EXPECT_FALSE(StrEq("a", ""));
    EXPECT_FALSE(StrEq("@", "`")) << "only letters have cases";

    EXPECT_TRUE(StrEq("\xC3\x84PFEL", "\xC3\xA4pfel")); // ÄPFEL, äpfel
    EXPECT_TRUE(StrEq("\xCE\xA3", "\xCF\x83")); // Σ, σ
    EXPECT_TRUE(StrEq("\xE2\x84\xAA", "k")); // Kelvin sign folds to k
    EXPECT_FALSE(StrEq("\xC3\xA4", "a"));

    EXPECT_TRUE(StrEq("x\xFF", "X\xFF"));
    EXPECT_FALSE(StrEq("\xFF", "\xFE")) << "two damaged texts must not look equal";
    EXPECT_FALSE(StrEq("\xC3", "\xC3\x83"));
}

TEST(Strings, ValReadsTheNumberAtTheStart)
{
    EXPECT_DOUBLE_EQ(Val("  -12.5e2xyz"), -1250);
    EXPECT_DOUBLE_EQ(Val("\t 42"), 42);
    EXPECT_DOUBLE_EQ(Val("+7"), 7);
    EXPECT_DOUBLE_EQ(Val(".5"), 0.5);
    EXPECT_DOUBLE_EQ(Val("5."), 5);
    EXPECT_DOUBLE_EQ(Val("1E3"), 1000);
    EXPECT_DOUBLE_EQ(Val("2e-2"), 0.02);
    EXPECT_DOUBLE_EQ(Val("1e"), 1) << "an e without digits ends the number";
    EXPECT_DOUBLE_EQ(Val("1e+"), 1);
    EXPECT_DOUBLE_EQ(Val("3ex"), 3);
    EXPECT_DOUBLE_EQ(Val("12,5"), 12);
    EXPECT_DOUBLE_EQ(Val("-40"), -40);
    EXPECT_DOUBLE_EQ(Val("1 2"), 1);

    for (const char* none : { "", "abc", ".", "-", "+-1", " x1", "e5", "\n5", "0x1A" })
        EXPECT_EQ(Val(none), 0) << none;
    EXPECT_EQ(Val("inf"), 0);
    EXPECT_EQ(Val("nan"), 0);

    EXPECT_EQ(Val("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(Val("-1e99999999999999999999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(Val("1e-999"), 0);
    EXPECT_EQ(Val(std::string(400, '9')), std::numeric_limits<double>::infinity());
    EXPECT_DOUBLE_EQ(Val("0." + std::string(400, '0') + "5e401"), 5);
}

TEST(Strings, StrWritesPlainDecimalThatReadsBack)
{
    EXPECT_EQ(Str(int64_t(0)), "0");
    EXPECT_EQ(Str(int64_t(-250)), "-250");
    EXPECT_EQ(Str(std::numeric_limits<int64_t>::min()), "-9223372036854775808");

    EXPECT_EQ(Str(0.625), "0.625");
    EXPECT_EQ(Str(2.0), "2");
    EXPECT_EQ(Str(-3.0), "-3");
    EXPECT_EQ(Str(-0.0), "0");
    EXPECT_EQ(Str(0.1), "0.1");
    EXPECT_EQ(Str(1e20), "100000000000000000000");
    for (double x : { 0.1 + 0.2, 1.0 / 3, -2.5e-7, 123456789.125, 5e-324, 1.7976931348623157e308 })
        EXPECT_EQ(Val(Str(x)), x) << Str(x);
}

TEST(Strings, ToInt32RoundsHalvesAwayAndSaturates)
{
    EXPECT_EQ(ToInt32(2.5), 3);
    EXPECT_EQ(ToInt32(-2.5), -3);
    EXPECT_EQ(ToInt32(0.5), 1);
    EXPECT_EQ(ToInt32(-0.5), -1);
    EXPECT_EQ(ToInt32(2.4999), 2);
    EXPECT_EQ(ToInt32(-157.5), -158);
    EXPECT_EQ(ToInt32(2147483646.5), 2147483647);
    EXPECT_EQ(ToInt32(2147483647.4), 2147483647);
    EXPECT_EQ(ToInt32(1e10), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ToInt32(-2147483648.0), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ToInt32(-1e10), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ToInt32(std::numeric_limits<double>::infinity()), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ToInt32(-std::numeric_limits<double>::infinity()), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ToInt32(std::nan("")), 0);
    EXPECT_EQ(ToInt32(Val("-1e999")), std::numeric_limits<int32_t>::min());
}

TEST(Strings, ChrEncodesCodePointsAndRefusesNonCharacters)
{
    EXPECT_EQ(Chr(65), "A");
    EXPECT_EQ(Chr(13), "\r");
    EXPECT_EQ(Chr(0xE9), "\xC3\xA9");
    EXPECT_EQ(Chr(0x20AC), kEuro);
    EXPECT_EQ(Chr(0x1F600), kSmile);
    EXPECT_EQ(Chr(0x10FFFF), "\xF4\x8F\xBF\xBF");
    EXPECT_EQ(Chr(-1), "");
    EXPECT_EQ(Chr(0xD800), "");
    EXPECT_EQ(Chr(0x110000), "");
    for (int32_t cp : { 0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0x10000 })
        EXPECT_EQ(Len(Chr(cp)), 1) << cp;
}

TEST(Strings, LongTextsAreHandledWhole)
{
    // A megabyte of mixed text, as a damaged settings line might be.
    std::string big;
    for (int i = 0; i < 100000; ++i)
        big += "ab\xC3\xA9\xFF" "c,";
    EXPECT_EQ(Len(big), 600000);
    EXPECT_EQ(InStr(big, "\xFF" "c,x"), 0);
    EXPECT_EQ(NthField(big, ",", 100000), "ab\xC3\xA9\xFF" "c");
    EXPECT_EQ(Mid(big, 599997), "\xC3\xA9\xFF" "c,");
    EXPECT_TRUE(StrEq(big, Lowercase(big)));
}
