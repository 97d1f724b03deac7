#pragma once
// One stored value of a plug: none, a number (every numeric, unit and boolean attribute), a
// string, or a string array.

#include <string>
#include <variant>
#include <vector>

namespace headless::detail {

using Value = std::variant<std::monostate, double, std::string, std::vector<std::string>>;

inline double asNumber(const Value& value) {
    if (const auto* number = std::get_if<double>(&value)) return *number;
    return 0.0;
}

inline std::string asText(const Value& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    return {};
}

inline std::vector<std::string> asTexts(const Value& value) {
    if (const auto* texts = std::get_if<std::vector<std::string>>(&value)) return *texts;
    return {};
}

}  // namespace headless::detail
