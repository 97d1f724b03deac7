#include "transport/protocol/ValueParsing.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The standard conversions need a terminated text; the value sits inside a longer message, so
// it is copied. Short texts stay on the stack.
template <class Convert>
ValueParseResult convertTerminated(std::string_view text, Convert convert) {
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
    errno = 0;
    convert(start, &stop);
    if (stop == start) return ValueParseResult::invalidArgument;
    if (errno == ERANGE) return ValueParseResult::outOfRange;
    return ValueParseResult::ok;
}

// A plain decimal that std::from_chars reads exactly as strtod would: it starts with a digit
// (after an optional minus) and is not a hexadecimal "0x" prefix.
bool isPlainDecimal(std::string_view text) {
    std::size_t i = (!text.empty() && text[0] == '-') ? 1 : 0;
    if (i >= text.size() || !isDigit(text[i])) return false;
    if (text[i] == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        return false;
    }
    return true;
}

}  // namespace

ValueParseResult parseChannelValue(std::string_view text, double& value) {
    if (text.empty()) {
        value = 0.0;
        return ValueParseResult::ok;
    }
    if (isPlainDecimal(text)) {
        double parsed = 0.0;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
        // Zero and subnormal results go the slow way: that is where strtod reports underflow.
        if (result.ec == std::errc() && std::isnormal(parsed)) {
            value = parsed;
            return ValueParseResult::ok;
        }
    }
    double parsed = 0.0;
    const auto result = convertTerminated(text, [&parsed](const char* start, char** stop) {
        parsed = std::strtod(start, stop);
    });
    if (result == ValueParseResult::ok) value = parsed;
    return result;
}

ValueParseResult parseTimestampValue(std::string_view text, double& value) {
    if (text.empty()) {
        value = 0.0;
        return ValueParseResult::ok;
    }
    long double parsed = 0.0L;
    const auto result = convertTerminated(text, [&parsed](const char* start, char** stop) {
        parsed = std::strtold(start, stop);
    });
    if (result != ValueParseResult::ok) return result;
    // Beyond the double range the held value is an infinity (the cast alone is undefined there).
    if (std::isfinite(parsed) && std::fabs(parsed) > std::numeric_limits<double>::max()) {
        value = std::signbit(parsed) ? -std::numeric_limits<double>::infinity()
                                     : std::numeric_limits<double>::infinity();
    } else {
        value = static_cast<double>(parsed);
    }
    return result;
}
