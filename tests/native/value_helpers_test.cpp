#include "host/core/value_helpers.h"

#include <gtest/gtest.h>

#include <climits>

using namespace vantor;

TEST(ParseColor, ComponentsAndReduction) {
    EXPECT_EQ(ParseColor("255|0|0"), 0x0000FFu);
    EXPECT_EQ(ParseColor("0|0|255"), 0xFF0000u);
    EXPECT_EQ(ParseColor("128|128|128"), 0x808080u);
    EXPECT_EQ(ParseColor(""), 0u);
    EXPECT_EQ(ParseColor("300|0|0"), 44u);
    EXPECT_EQ(ParseColor("10|20|30|40"), (40u << 16) | (20u << 8) | 10u);
    EXPECT_EQ(ParseColor(" 12|5|6"), (6u << 16) | (5u << 8) | 12u);
    // the component after the last bar is always blue
    EXPECT_EQ(ParseColor("0|128"), 128u << 16);
    EXPECT_EQ(ParseColor("200"), 200u << 16);
    // a leading minus makes red negative before the reduction
    EXPECT_EQ(ParseColor("-1|0|0"), 0xFFu);
    // a blank inside ends the scan: only red was closed
    EXPECT_EQ(ParseColor("12| 5|6"), 12u);
}

TEST(ParseColor, LongComponentsAreReadWholeWithinElevenCharacters) {
    EXPECT_EQ(ParseColor("0255|0|0"), 255u);
    EXPECT_EQ(ParseColor("1000|0|0"), 1000u % 256u);
    EXPECT_EQ(ParseColor("0000000255"), 255u << 16);
    EXPECT_EQ(ParseColor("255|255|255"), 0xFFFFFFu);
    // only eleven characters are looked at: "1|2|3456789", the rest is not seen
    EXPECT_EQ(ParseColor("1|2|3456789012"), ((3456789u % 256u) << 16) | (2u << 8) | 1u);
    EXPECT_EQ(ParseColor(std::string(100000, '9')), ParseColor("99999999999"));
}

TEST(ParseInteger, SignsBlanksAndWrap) {
    EXPECT_EQ(ParseInteger("  -42abc"), -42);
    EXPECT_EQ(ParseInteger("+7"), 7);
    EXPECT_EQ(ParseInteger("\t5"), 0);
    EXPECT_EQ(ParseInteger(""), 0);
    EXPECT_EQ(ParseInteger("-"), 0);
    EXPECT_EQ(ParseInteger("2147483648"), INT_MIN);
    EXPECT_EQ(ParseInteger("4294967297"), 1);
    EXPECT_EQ(ParseInteger("+-3"), 0);
}

TEST(FormatInteger, Values) {
    EXPECT_EQ(FormatInteger(INT_MIN), "-2147483648");
    EXPECT_EQ(FormatInteger(-15), "-15");
    EXPECT_EQ(FormatInteger(0), "0");
    EXPECT_EQ(FormatInteger(INT_MAX), "2147483647");
    EXPECT_EQ(FormatInteger(255, 16), "FF");
    EXPECT_EQ(FormatInteger(-5, 2), "-101");
    EXPECT_EQ(FormatInteger(35, 36), "Z");
    EXPECT_EQ(FormatInteger(-1295, 36), "-ZZ");
    EXPECT_EQ(FormatInteger(INT_MIN, 2), "-1" + std::string(31, '0')) << "the longest form fits";
    EXPECT_EQ(FormatInteger(42, 99), "42");
    std::string joined = "a";
    FormatInteger(12, joined);
    EXPECT_EQ(joined, "a12");
}

TEST(TrimBlanks, NeverBelowOneCharacter) {
    std::string s = " \t";
    EXPECT_EQ(TrimBlanks(s), "\t");
    EXPECT_EQ(s, "\t");
    s = "  a  ";
    EXPECT_EQ(TrimBlanks(s), "a");
    s = "";
    EXPECT_EQ(TrimBlanks(s), "");
    s = "\r\n x y \n";
    EXPECT_EQ(TrimBlanks(s), "x y");
    s = " ";
    EXPECT_EQ(TrimBlanks(s), " ");
}

TEST(Quoted, CutOnlyWhenLonger) {
    EXPECT_EQ(Quoted("", 3), "\"\"");
    EXPECT_EQ(Quoted("abc", 3), "\"abc\"");
    EXPECT_EQ(Quoted("abcd", 3), "\"abc...\"");
    EXPECT_EQ(Quoted(std::string(100000, 'q'), 40), "\"" + std::string(40, 'q') + "...\"");
}

TEST(SplitList, PiecesAsAStreamReadsLines) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitList("a, b,,c", ','), (V{"a", "b", "c"}));
    EXPECT_EQ(SplitList("x|", '|'), (V{"x"}));
    EXPECT_EQ(SplitList("|x", '|'), (V{"x"}));
    EXPECT_EQ(SplitList("a,  ,b", ','), (V{"a", " ", "b"}));
    EXPECT_EQ(SplitList("", ','), V{});
    EXPECT_EQ(SplitList(",,,", ','), V{});
    EXPECT_EQ(SplitList("100  250 -1", ' '), (V{"100", "250", "-1"}));
}

#include "host/core/version_number.h"

TEST(VersionNumber, LeadingNumberOrFallback) {
    EXPECT_EQ(VersionNumber("44001", 10001), 44001);
    EXPECT_EQ(VersionNumber("  +44001.0.0.0", 10001), 44001);
    EXPECT_EQ(VersionNumber("-7x", 10001), -7);
    EXPECT_EQ(VersionNumber("2147483647", 10001), INT_MAX);
    EXPECT_EQ(VersionNumber("-2147483648", 10001), INT_MIN);
    EXPECT_EQ(VersionNumber("2147483648", 10001), 10001);
    EXPECT_EQ(VersionNumber("99999999999999999999999", 10001), 10001);
    EXPECT_EQ(VersionNumber("v1", 10001), 10001);
    EXPECT_EQ(VersionNumber("", 10001), 10001);
    EXPECT_EQ(VersionNumber("-", 10001), 10001);
}

TEST(ReadLeadingInteger, AsTheStandardConversionReads) {
    std::int32_t v = 99;
    EXPECT_EQ(ReadLeadingInteger(" \t-42px", v), NumberRead::Number);
    EXPECT_EQ(v, -42);
    EXPECT_EQ(ReadLeadingInteger("+7", v), NumberRead::Number);
    EXPECT_EQ(v, 7);
    EXPECT_EQ(ReadLeadingInteger("-2147483648", v), NumberRead::Number);
    EXPECT_EQ(v, INT_MIN);
    v = 5;
    EXPECT_EQ(ReadLeadingInteger("2147483648", v), NumberRead::OutOfRange);
    EXPECT_EQ(ReadLeadingInteger(std::string(1000, '9'), v), NumberRead::OutOfRange);
    for (const char* bad : {"", "-", "+-3", "x12", " "})
        EXPECT_EQ(ReadLeadingInteger(bad, v), NumberRead::NotANumber) << bad;
    EXPECT_EQ(v, 5) << "a refused text leaves the value alone";
    EXPECT_EQ(ReadLeadingInteger("0x1A", v), NumberRead::Number);
    EXPECT_EQ(v, 0);
}

// Every white-space character of the standard conversion comes before the
// number, not only blanks and tabs.
TEST(ReadLeadingInteger, SkipsEveryKindOfWhiteSpace) {
    for (const char* text : {"\r5", "\n5", "\v5", "\f5", "\t5", " 5", " \r\n\v\f\t5x"}) {
        std::int32_t v = 0;
        EXPECT_EQ(ReadLeadingInteger(text, v), NumberRead::Number) << text;
        EXPECT_EQ(v, 5) << text;
        EXPECT_EQ(VersionNumber(text, 10001), 5) << text;
    }
    std::int32_t v = 7;
    EXPECT_EQ(ReadLeadingInteger("\r\n", v), NumberRead::NotANumber);
    EXPECT_EQ(VersionNumber("\v\f", 10001), 10001);
    // ParseInteger reads colour and address fields: only blanks come first
    EXPECT_EQ(ParseInteger("  5"), 5);
    EXPECT_EQ(ParseInteger("\t5"), 0);
}

// Under the sanitizers a plain "number - 1" would stop here on INT_MIN.
TEST(ZeroBased, WrapsInsteadOfOverflowing) {
    EXPECT_EQ(ZeroBased(1), 0);
    EXPECT_EQ(ZeroBased(0), -1);
    EXPECT_EQ(ZeroBased(INT_MIN), INT_MAX);
    EXPECT_EQ(ZeroBased(INT_MAX), INT_MAX - 1);
    EXPECT_EQ(OneBased(-1), 0);
    EXPECT_EQ(OneBased(INT_MAX), INT_MIN);
    for (const std::int32_t n : {INT_MIN, -5, 0, 1, 77, INT_MAX}) EXPECT_EQ(OneBased(ZeroBased(n)), n);
}

// The one trim, at both ends or the right one only, never below `keep`.
TEST(Trimmed, EndsSetsAndKeep) {
    EXPECT_EQ(Trimmed(" \tab \r\n", " \t\r\n", true), "ab");
    EXPECT_EQ(Trimmed(" ab ", " ", false), " ab");
    EXPECT_EQ(Trimmed("   ", " ", true, 1), " ");
    EXPECT_EQ(Trimmed("", " ", true, 1), "");
    EXPECT_EQ(Trimmed("\v\fx\v\f", kWhiteSpace, true), "x");
}
