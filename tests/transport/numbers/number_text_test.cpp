// Number text: the fast path must agree with std::stod / std::stold in value and errors, under
// the wire's rules and the clip file's, which differ only where NumberTextRules says.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>

#include "transport/numbers/NumberText.h"

namespace {

// What std::stod makes of a text, as a result and a value.
NumberTextResult referenceParse(const std::string& text, const NumberTextRules& rules,
                                double& value) {
    if (text.empty() && rules.emptyIsZero) {
        value = 0;
        return NumberTextResult::ok;
    }
    try {
        value = std::stod(text);
        return NumberTextResult::ok;
    } catch (const std::invalid_argument&) {
        return NumberTextResult::notANumber;
    } catch (const std::out_of_range&) {
        return NumberTextResult::outOfRange;
    }
}

void expectSameAsStod(const std::string& text) {
    for (const NumberTextRules& rules : {kWireNumberRules, kClipNumberRules}) {
        double expected = 0, actual = 0;
        const auto expectedResult = referenceParse(text, rules, expected);
        const auto actualResult = parseNumberValue(text, rules, actual);
        ASSERT_EQ(actualResult, expectedResult) << "text: " << text;
        if (expectedResult != NumberTextResult::ok) continue;
        if (std::isnan(expected)) {
            EXPECT_TRUE(std::isnan(actual)) << text;
        } else {
            EXPECT_EQ(std::signbit(actual), std::signbit(expected)) << text;
            EXPECT_EQ(actual, expected) << text;
        }
    }
}

TEST(NumberText, AgreesWithStodOnEdgeCases) {
    for (const char* text :
         {"",
          "0",
          "-0",
          "0.0",
          "0.00000000",
          "-0.00000000",
          "0e-400",
          "1",
          "-1",
          "1.",
          ".5",
          "-.5",
          "+2",
          " 3",
          "\t4",
          "1e5",
          "1e",
          "1e+",
          "1.5e-3x",
          "12abc",
          "1.2.3",
          "0x1p3",
          "-0x10",
          "0X1A",
          "0xg",
          "inf",
          "-infinity",
          "nan",
          "nan(123)",
          "1e308",
          "1e309",
          "-1e309",
          "1e-307",
          "2.2250738585072014e-308",
          "4.9e-324",
          "1e-400",
          "0.000000000000000000000000000000001",
          "123456789012345678901234567890",
          "abc",
          " ",
          "-",
          ".",
          "e5",
          "--1",
          "1,5",
          "*",
          "#",
          "00000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
          "000000000000000000000000000000000000000000000000000001.25"}) {
        expectSameAsStod(text);
    }
    expectSameAsStod(std::string(400, '9'));
    expectSameAsStod("0." + std::string(70, '0') + "1");
}

TEST(NumberText, AgreesWithStodOnRandomDoubles) {
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-300, 300);
    char text[400];
    for (int i = 0; i < 20000; ++i) {
        const double value = unit(random) * std::pow(10.0, exponent(random));
        // The last: as clip files hold them.
        const char* format = (i % 4 == 0)   ? "%.17g"
                             : (i % 4 == 1) ? "%.6f"
                             : (i % 4 == 2) ? "%.9e"
                                            : "%.8f";
        std::snprintf(text, sizeof text, format, i % 4 == 3 ? unit(random) * 1e6 : value);
        expectSameAsStod(text);
    }
}

TEST(NumberText, TimesGoThroughLongDouble) {
    for (const NumberTextRules& rules : {kWireNumberRules, kClipNumberRules}) {
        double value = 0;
        EXPECT_EQ(parseNumberTime("12.51666667", rules, value), NumberTextResult::ok);
        EXPECT_EQ(value, static_cast<double>(std::strtold("12.51666667", nullptr)));
        EXPECT_EQ(parseNumberTime("x", rules, value), NumberTextResult::notANumber);
        EXPECT_EQ(parseNumberTime("1e99999", rules, value), NumberTextResult::outOfRange);
    }
}

// The two places where the wire and the file part ways, and nowhere else.
TEST(NumberText, TheWireAndTheFileDifferOnlyWhereTheRulesSay) {
    double value = -1;
    EXPECT_EQ(parseNumberValue("", kWireNumberRules, value), NumberTextResult::ok);
    EXPECT_EQ(value, 0.0);
    EXPECT_EQ(parseNumberTime("", kWireNumberRules, value), NumberTextResult::ok);
    EXPECT_EQ(value, 0.0);
    EXPECT_EQ(parseNumberValue("", kClipNumberRules, value), NumberTextResult::notANumber);
    EXPECT_EQ(parseNumberTime("", kClipNumberRules, value), NumberTextResult::notANumber);

    // Within long double but beyond double: the wire holds an infinity, the file refuses it.
    EXPECT_EQ(parseNumberTime("-1e400", kWireNumberRules, value), NumberTextResult::ok);
    EXPECT_TRUE(std::isinf(value) && value < 0);
    EXPECT_EQ(parseNumberTime("1e400", kClipNumberRules, value), NumberTextResult::outOfRange);
}

TEST(NumberText, IntegersReadAsStrtolWithinALimit) {
    struct Case {
        const char* text;
        bool ok;
        long value;
        std::size_t end;
    };
    for (const Case& c :
         {Case{"8080", true, 8080, 4}, Case{"+7 rest", true, 7, 2}, Case{"-12x", true, -12, 3},
          Case{"-0", true, 0, 2}, Case{"65535", true, 65535, 5}, Case{"65536", false, 0, 0},
          Case{"99999999999999999999999", false, 0, 0}, Case{"", false, 0, 0},
          Case{" 5", false, 0, 0}, Case{"+", false, 0, 0}, Case{"x1", false, 0, 0}}) {
        std::size_t at = 0;
        long value = -1;
        EXPECT_EQ(readDecimalInteger(c.text, at, 65535, value), c.ok) << c.text;
        if (!c.ok) continue;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(at, c.end) << c.text;
    }
}

}  // namespace
