#include "clip/format/ClipNumberText.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <string>
#include <system_error>

namespace {

// Tokens this short cannot overflow or underflow a double, so the exact from_chars conversion
// gives what strtod gives, much faster.
constexpr std::size_t kFastTokenLength = 64;

bool isPlainDecimal(std::string_view token) {
    if (token.empty() || token.size() > kFastTokenLength) return false;
    std::size_t i = token[0] == '-' ? 1 : 0;
    bool digit = false;
    bool point = false;
    for (; i < token.size(); ++i) {
        const char c = token[i];
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

std::string quoted(std::string_view token) {
    constexpr std::size_t kShown = 40;
    std::string text = "\"";
    for (std::size_t i = 0; i < token.size() && i < kShown; ++i) {
        const unsigned char c = static_cast<unsigned char>(token[i]);
        text += (c >= 0x20 && c < 0x7f) ? static_cast<char>(c) : '?';
    }
    if (token.size() > kShown) text += "...";
    return text + "\"";
}

// Runs a strtod-like conversion on a NUL-terminated copy of the token.
template <typename Number, typename Convert>
Number convertText(std::string_view token, const char* what, Convert convert) {
    const std::string text(token);
    char* end = nullptr;
    const int savedErrno = errno;
    errno = 0;
    const Number value = convert(text.c_str(), &end);
    const bool outOfRange = errno == ERANGE;
    errno = savedErrno;
    if (end == text.c_str())
        throw std::invalid_argument(std::string("clip ") + what + " " + quoted(token) + " is not a number");
    if (outOfRange)
        throw std::out_of_range(std::string("clip ") + what + " " + quoted(token) + " is out of range");
    return value;
}

}  // namespace

std::size_t formatClipNumber(double value, char* out) {
    const auto result = std::to_chars(out, out + kClipNumberMaxChars, value, std::chars_format::fixed, 8);
    return static_cast<std::size_t>(result.ptr - out);
}

double parseClipValue(std::string_view token) {
    if (isPlainDecimal(token)) {
        double value = 0.0;
        const auto result = std::from_chars(token.data(), token.data() + token.size(), value,
                                            std::chars_format::fixed);
        if (result.ec == std::errc() && result.ptr == token.data() + token.size()) return value;
    }
    return convertText<double>(token, "value",
                               [](const char* text, char** end) { return std::strtod(text, end); });
}

double parseClipTime(std::string_view token) {
    const long double value = convertText<long double>(
        token, "time", [](const char* text, char** end) { return std::strtold(text, end); });
    if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<double>::max())
        throw std::out_of_range("clip time " + quoted(token) + " is out of range");
    return static_cast<double>(value);
}
