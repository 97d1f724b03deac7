#include "clip/format/ClipNumberText.h"

#include "transport/numbers/NumberText.h"

#include <charconv>
#include <stdexcept>
#include <string>
#include <system_error>

namespace {

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

// The number, or the exception that says why there is none.
double checked(NumberTextResult result, double value, const char* what, std::string_view token) {
    if (result == NumberTextResult::notANumber)
        throw std::invalid_argument(std::string("clip ") + what + " " + quoted(token) +
                                    " is not a number");
    if (result == NumberTextResult::outOfRange)
        throw std::out_of_range(std::string("clip ") + what + " " + quoted(token) +
                                " is out of range");
    return value;
}

}  // namespace

std::size_t formatClipNumber(double value, char* out) {
    const auto result =
        std::to_chars(out, out + kClipNumberMaxChars, value, std::chars_format::fixed, 8);
    return static_cast<std::size_t>(result.ptr - out);
}

double parseClipValue(std::string_view token) {
    double value = 0.0;
    const NumberTextResult result = parseNumberValue(token, kClipNumberRules, value);
    return checked(result, value, "value", token);
}

double parseClipTime(std::string_view token) {
    double value = 0.0;
    const NumberTextResult result = parseNumberTime(token, kClipNumberRules, value);
    return checked(result, value, "time", token);
}
