#include "transport/numbers/NumberText.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <system_error>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The C conversions need a terminated text; a number sits inside a longer message or clip
// text, so it is copied. Short texts stay on the stack.
template <class Convert>
NumberTextResult convertTerminated(std::string_view text, Convert convert) {
    char local[128];
    std::string longText;
    const char* start = local;
    if (text.size() < sizeof local) {
        std::memcpy(local, text.data(), text.size());
        local[text.size()] = '\0';
    } else {
        longText.assign(text);
        start = longText.c_str();
    }
    char* stop = nullptr;
    const int savedErrno = errno;
    errno = 0;
    convert(start, &stop);
    const bool outOfRange = errno == ERANGE;
    errno = savedErrno;
    if (stop == start) return NumberTextResult::notANumber;
    if (outOfRange) return NumberTextResult::outOfRange;
    return NumberTextResult::ok;
}

// A decimal that std::from_chars reads exactly as strtod does: it starts with a digit (after an
// optional minus) and is not a hexadecimal "0x" prefix.
bool isPlainDecimal(std::string_view text) {
    const std::size_t i = (!text.empty() && text[0] == '-') ? 1 : 0;
    if (i >= text.size() || !isDigit(text[i])) return false;
    return !(text[i] == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X'));
}

// Whether the digits before any exponent are all zeros: the value is then exactly zero, which
// strtod never reports as an underflow.
bool isExactZero(std::string_view number) {
    for (const char c : number) {
        if (c == 'e' || c == 'E') break;
        if (isDigit(c) && c != '0') return false;
    }
    return true;
}

}  // namespace

NumberTextResult parseNumberValue(std::string_view text, const NumberTextRules& rules,
                                  double& value) {
    if (text.empty() && rules.emptyIsZero) {
        value = 0.0;
        return NumberTextResult::ok;
    }
    if (isPlainDecimal(text)) {
        double parsed = 0.0;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
        // Other zero and subnormal results go the slow way: that is where strtod reports underflow.
        const std::string_view number(text.data(),
                                      static_cast<std::size_t>(result.ptr - text.data()));
        if (result.ec == std::errc() &&
            (std::isnormal(parsed) || (parsed == 0.0 && isExactZero(number)))) {
            value = parsed;
            return NumberTextResult::ok;
        }
    }
    double parsed = 0.0;
    const auto result = convertTerminated(
        text, [&parsed](const char* start, char** stop) { parsed = std::strtod(start, stop); });
    if (result == NumberTextResult::ok) value = parsed;
    return result;
}

NumberTextResult parseNumberTime(std::string_view text, const NumberTextRules& rules,
                                 double& value) {
    if (text.empty() && rules.emptyIsZero) {
        value = 0.0;
        return NumberTextResult::ok;
    }
    long double parsed = 0.0L;
    const auto result = convertTerminated(
        text, [&parsed](const char* start, char** stop) { parsed = std::strtold(start, stop); });
    if (result != NumberTextResult::ok) return result;
    // Beyond the double range (the cast alone is undefined there).
    if (std::isfinite(parsed) && std::fabs(parsed) > std::numeric_limits<double>::max()) {
        if (!rules.hugeTimeIsInfinite) return NumberTextResult::outOfRange;
        value = std::signbit(parsed) ? -std::numeric_limits<double>::infinity()
                                     : std::numeric_limits<double>::infinity();
        return NumberTextResult::ok;
    }
    value = static_cast<double>(parsed);
    return NumberTextResult::ok;
}

bool readDecimalInteger(std::string_view text, std::size_t& at, long limit, long& value) {
    std::size_t i = at;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i >= text.size() || !isDigit(text[i])) return false;
    long magnitude = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit) return false;
    }
    value = negative ? -magnitude : magnitude;
    at = i;
    return true;
}
