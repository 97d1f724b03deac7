// Number conversion: the fast path must agree with std::stod / std::stold in value and errors.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>

#include "transport/protocol/ValueParsing.h"

namespace {

// What std::stod makes of a text, as a result and a value.
ValueParseResult referenceParse(const std::string& text, double& value) {
    if (text.empty()) {
        value = 0;
        return ValueParseResult::ok;
    }
    try {
        value = std::stod(text);
        return ValueParseResult::ok;
    } catch (const std::invalid_argument&) {
        return ValueParseResult::invalidArgument;
    } catch (const std::out_of_range&) {
        return ValueParseResult::outOfRange;
    }
}

void expectSameAsStod(const std::string& text) {
    double expected = 0, actual = 0;
    const auto expectedResult = referenceParse(text, expected);
    const auto actualResult = parseChannelValue(text, actual);
    ASSERT_EQ(actualResult, expectedResult) << "text: " << text;
    if (expectedResult != ValueParseResult::ok) return;
    if (std::isnan(expected)) {
        EXPECT_TRUE(std::isnan(actual)) << text;
    } else {
        EXPECT_EQ(std::signbit(actual), std::signbit(expected)) << text;
        EXPECT_EQ(actual, expected) << text;
    }
}

TEST(ValueParsingTest, AgreesWithStodOnEdgeCases) {
    for (const char* text :
         {"0", "-0", "0.0", "1", "-1", "1.", ".5", "-.5", "+2", " 3", "\t4", "1e5", "1e", "1e+",
          "1.5e-3x", "12abc", "0x1p3", "-0x10", "0X1A", "0xg", "inf", "-infinity", "nan",
          "nan(123)", "1e308", "1e309", "-1e309", "1e-307", "2.2250738585072014e-308",
          "4.9e-324", "1e-400", "0e-400", "0.000000000000000000000000000000001",
          "123456789012345678901234567890", "abc", " ", "-", ".", "e5", "--1", "1,5",
          "00000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
          "000000000000000000000000000000000000000000000000000001.25"}) {
        expectSameAsStod(text);
    }
}

TEST(ValueParsingTest, AgreesWithStodOnRandomDoubles) {
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-300, 300);
    char text[64];
    for (int i = 0; i < 20000; ++i) {
        const double value = unit(random) * std::pow(10.0, exponent(random));
        const char* format = (i % 3 == 0) ? "%.17g" : (i % 3 == 1) ? "%.6f" : "%.9e";
        std::snprintf(text, sizeof text, format, value);
        expectSameAsStod(text);
    }
}

TEST(ValueParsingTest, TimestampUsesLongDoubleRules) {
    double value = 0;
    EXPECT_EQ(parseTimestampValue("12.5", value), ValueParseResult::ok);
    EXPECT_EQ(value, 12.5);
    EXPECT_EQ(parseTimestampValue("", value), ValueParseResult::ok);
    EXPECT_EQ(value, 0.0);
    EXPECT_EQ(parseTimestampValue("x", value), ValueParseResult::invalidArgument);
    EXPECT_EQ(parseTimestampValue("1e99999", value), ValueParseResult::outOfRange);
    // Within long double but beyond double: held as an infinity.
    EXPECT_EQ(parseTimestampValue("-1e400", value), ValueParseResult::ok);
    EXPECT_TRUE(std::isinf(value) && value < 0);
}

}  // namespace
