#include "script/ScriptNumbers.h"

#include <cmath>
#include <cstdlib>

namespace headless::detail {

bool parseFiniteNumber(const std::string& text, double& number) {
    if (text.empty()) return false;
    char* end = nullptr;
    number = std::strtod(text.c_str(), &end);
    return end && *end == '\0' && std::isfinite(number);
}

bool isQuery(const std::vector<Word>& words) {
    for (const auto& word : words) {
        if (!word.quoted && (word.text == "-q" || word.text == "-query")) return true;
    }
    return false;
}

}  // namespace headless::detail
