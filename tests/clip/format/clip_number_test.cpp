#include "clip/format/ClipNumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>

namespace {

std::string format(double value) {
    char text[kClipNumberMaxChars];
    return std::string(text, formatClipNumber(value, text));
}

std::string printfFormat(double value) {
    char text[kClipNumberMaxChars];
    std::snprintf(text, sizeof text, "%.8f", value);
    return text;
}

TEST(ClipNumberText, FormatsFixedWithEightDecimals) {
    EXPECT_EQ(format(0.25), "0.25000000");
    EXPECT_EQ(format(-3.0), "-3.00000000");
    EXPECT_EQ(format(12.5), "12.50000000");
    EXPECT_EQ(format(1.0 / 60.0), "0.01666667");
    EXPECT_EQ(format(-0.000000001), "-0.00000000");
    EXPECT_EQ(format(0.000000004), "0.00000000");
    EXPECT_EQ(format(-0.0), "-0.00000000");
    EXPECT_EQ(format(1e20), "100000000000000000000.00000000");
    const std::string largest = format(std::numeric_limits<double>::max());
    EXPECT_EQ(largest.size(), 309u + 9u);
    EXPECT_EQ(largest, printfFormat(std::numeric_limits<double>::max()));
    EXPECT_EQ(format(-std::numeric_limits<double>::max()).size(), 319u);
}

TEST(ClipNumberText, FormatMatchesPrintfAcrossMagnitudes) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-12, 30);
    for (int i = 0; i < 200000; ++i) {
        const double value = std::ldexp(mantissa(random), exponent(random));
        ASSERT_EQ(format(value), printfFormat(value)) << value;
    }
    // Halfway cases at the eighth decimal round as printf does (on the exact binary value).
    for (const double value : {0.000000005, 0.000000015, 2.5e-8, 1.000000005, -0.000000005})
        EXPECT_EQ(format(value), printfFormat(value));
}

TEST(ClipNumberText, ValuesConvertAsStrtodDoes) {
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> any(-1e6, 1e6);
    for (int i = 0; i < 100000; ++i) {
        const std::string text = format(any(random));
        ASSERT_EQ(parseClipValue(text), std::strtod(text.c_str(), nullptr)) << text;
    }
    EXPECT_EQ(parseClipValue("1e5"), 100000.0);
    EXPECT_EQ(parseClipValue("  -2.5xyz"), -2.5);
    EXPECT_EQ(parseClipValue("0x10"), 16.0);
    EXPECT_EQ(parseClipValue(".5"), 0.5);
    EXPECT_EQ(parseClipValue("1.2.3"), 1.2);
    EXPECT_TRUE(std::signbit(parseClipValue("-0.00000000")));
    EXPECT_TRUE(std::isinf(parseClipValue("inf")));
    EXPECT_TRUE(std::isnan(parseClipValue("nan")));
    const std::string longDigits = "0." + std::string(70, '0') + "1";
    EXPECT_EQ(parseClipValue(longDigits), std::strtod(longDigits.c_str(), nullptr));
}

TEST(ClipNumberText, ConversionFailuresHaveTwoKinds) {
    for (const char* text : {"", "*", "abc", "-", ".", "#", " "})
        EXPECT_THROW(parseClipValue(text), std::invalid_argument) << text;
    EXPECT_THROW(parseClipValue("1e400"), std::out_of_range);
    EXPECT_THROW(parseClipValue("-1e400"), std::out_of_range);
    EXPECT_THROW(parseClipValue(std::string(400, '9')), std::out_of_range);
    EXPECT_THROW(parseClipTime("letters"), std::invalid_argument);
    EXPECT_THROW(parseClipTime("1e400"), std::out_of_range);  // fits a long double, not a double
    EXPECT_THROW(parseClipTime("1e5000"), std::out_of_range);
}

TEST(ClipNumberText, TimesGoThroughLongDouble) {
    EXPECT_EQ(parseClipTime("12.51666667"),
              static_cast<double>(std::strtold("12.51666667", nullptr)));
    EXPECT_EQ(parseClipTime("7"), 7.0);
}

}  // namespace
