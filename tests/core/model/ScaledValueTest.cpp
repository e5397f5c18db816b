#include "core/model/ScaledValue.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

TEST(ParseNumber, AcceptsBlanksAroundANumber) {
    const auto value = ParseNumber(" \t12.5 \t");
    ASSERT_TRUE(value);
    EXPECT_DOUBLE_EQ(12.5, *value);
}

TEST(ParseNumber, CommaStopsTheNumberAndFails) {
    EXPECT_FALSE(ParseNumber("12,5"));
}

TEST(ParseNumber, ZeroCountsOnlyWhenTheTextStartsWithTheDigitZero) {
    EXPECT_FALSE(ParseNumber("-0"));
    EXPECT_FALSE(ParseNumber(".0"));
    EXPECT_FALSE(ParseNumber("abc"));
    EXPECT_FALSE(ParseNumber(""));
    EXPECT_FALSE(ParseNumber("   "));
    ASSERT_TRUE(ParseNumber("0"));
    EXPECT_EQ(0.0, *ParseNumber("0"));
    ASSERT_TRUE(ParseNumber(" 0.00 "));
    EXPECT_EQ(0.0, *ParseNumber("0.00"));
}

TEST(ParseNumber, SignsAndFractionsLikeTheCConversion) {
    EXPECT_DOUBLE_EQ(-3.25, *ParseNumber("-3.25"));
    EXPECT_DOUBLE_EQ(7.0, *ParseNumber("+7"));
    EXPECT_DOUBLE_EQ(0.5, *ParseNumber(".5"));
    EXPECT_DOUBLE_EQ(5.0, *ParseNumber("5."));
    EXPECT_DOUBLE_EQ(1500.0, *ParseNumber("1.5e3"));
    EXPECT_FALSE(ParseNumber("+-7"));
    EXPECT_FALSE(ParseNumber("--7"));
    EXPECT_FALSE(ParseNumber("- 7"));
}

TEST(ParseNumber, TrailingCharactersFail) {
    EXPECT_FALSE(ParseNumber("12a"));
    EXPECT_FALSE(ParseNumber("0abc"));
    EXPECT_FALSE(ParseNumber("12 3"));
    EXPECT_FALSE(ParseNumber("1e"));
    EXPECT_FALSE(ParseNumber("12\n"));
}

TEST(ParseNumber, InfinityAndNotANumberAreRefused) {
    EXPECT_FALSE(ParseNumber("inf"));
    EXPECT_FALSE(ParseNumber("-infinity"));
    EXPECT_FALSE(ParseNumber("nan"));
    EXPECT_FALSE(ParseNumber("1e999"));
}

TEST(ParseNumber, AnUnderflowReadsAsZero) {
    EXPECT_FALSE(ParseNumber("1e-999")); // zero, but the text does not start with 0
    ASSERT_TRUE(ParseNumber("0.1e-999"));
    EXPECT_EQ(0.0, *ParseNumber("0.1e-999"));
}

TEST(RoundHalfAway, HalvesGoAwayFromZero) {
    EXPECT_EQ(1, RoundHalfAway(0.5));
    EXPECT_EQ(-1, RoundHalfAway(-0.5));
    EXPECT_EQ(2, RoundHalfAway(2.4999));
    EXPECT_EQ(-3, RoundHalfAway(-2.5));
    EXPECT_EQ(0, RoundHalfAway(0.0));
    EXPECT_EQ(0, RoundHalfAway(-0.4));
}

TEST(RoundHalfAway, SaturatesInsteadOfOverflowing) {
    EXPECT_EQ(INT_MAX, RoundHalfAway(1e300));
    EXPECT_EQ(INT_MIN, RoundHalfAway(-1e300));
    EXPECT_EQ(0, RoundHalfAway(std::numeric_limits<double>::quiet_NaN()));
}

TEST(ScaleValue, UsesTheShowingFactorOfTheLowTwoBits) {
    EXPECT_EQ(-32768.0, ScaleValue(-32768, 0));
    EXPECT_DOUBLE_EQ(12.3, ScaleValue(123, 1));
    EXPECT_DOUBLE_EQ(1.23, ScaleValue(123, 2));
    EXPECT_DOUBLE_EQ(0.123, ScaleValue(123, 3));
    EXPECT_DOUBLE_EQ(12.3, ScaleValue(123, 5)); // 5 & 3 = 1
}

TEST(ScaledFromReal, RoundsAndLimitsTheStoredValue) {
    EXPECT_EQ(123, ScaledFromReal(12.34, 1));
    EXPECT_EQ(-1, ScaledFromReal(-0.05, 1));
    EXPECT_EQ(32767, ScaledFromReal(99999, 1));
    EXPECT_EQ(-32767, ScaledFromReal(-99999, 0));
    EXPECT_EQ(999990, ScaledFromReal(99999, 1, false));
    EXPECT_EQ(250, ScaledFromReal(25.04, 1));
    EXPECT_EQ(251, ScaledFromReal(25.06, 1));
    EXPECT_EQ(5, ScaledFromReal(0.005, 3));
}

TEST(FormatScaled, ShowsExactlyDDecimals) {
    EXPECT_EQ("12.3", FormatScaled(123, 1));
    EXPECT_EQ("-0.1", FormatScaled(-1, 1));
    EXPECT_EQ("3276.7", FormatScaled(32767, 1));
    EXPECT_EQ("-1999", FormatScaled(-1999, 0));
    EXPECT_EQ("0.005", FormatScaled(5, 3));
    EXPECT_EQ("0.00", FormatScaled(0, 2));
    EXPECT_EQ("1.0", FormatScaled(10, 5)); // d modulo 4
}

namespace {
// The rule written with the C library's conversion (this test runs in the "C" locale).
std::optional<double> ReferenceParse(const std::string& text) {
    size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
    const char first = pos < text.size() ? text[pos] : '\0';
    char* end = nullptr;
    const double value = std::strtod(text.c_str() + pos, &end);
    if (value == 0.0 && first != '0')
        return std::nullopt;
    while (*end == ' ' || *end == '\t')
        ++end;
    if (*end != '\0' || !std::isfinite(value))
        return std::nullopt;
    return value;
}
} // namespace

TEST(ParseNumber, AgreesWithTheCConversionOnRandomTexts) {
    const std::string alphabet = " \t0123456789.-+eE,a";
    std::mt19937 random(20261207);
    for (int i = 0; i < 200000; ++i) {
        std::string text;
        const int length = static_cast<int>(random() % 9);
        for (int k = 0; k < length; ++k)
            text += alphabet[random() % alphabet.size()];
        const std::optional<double> expected = ReferenceParse(text);
        const std::optional<double> actual = ParseNumber(text);
        ASSERT_EQ(expected.has_value(), actual.has_value()) << '"' << text << '"';
        if (expected) {
            ASSERT_EQ(*expected, *actual) << '"' << text << '"';
        }
    }
}
