#include "script/Arguments.h"

#include <cctype>

namespace headless::detail {

namespace {

bool looksLikeFlag(const Word& word) {
    return !word.quoted && word.text.size() > 1 && word.text[0] == '-' &&
           std::isalpha(static_cast<unsigned char>(word.text[1]));
}

}  // namespace

std::string Arguments::canonical(const std::string& flag) const {
    const auto at = aliases_.find(flag);
    return at == aliases_.end() ? flag : at->second;
}

std::string Arguments::value(const std::string& flag) const {
    const auto at = values_.find(canonical(flag));
    return at == values_.end() || at->second.empty() ? std::string() : at->second.back();
}

std::vector<std::string> Arguments::values(const std::string& flag) const {
    const auto at = values_.find(canonical(flag));
    return at == values_.end() ? std::vector<std::string>() : at->second;
}

bool Arguments::parse(const std::vector<Word>& words, const std::vector<std::string>& valueFlags,
                      const std::vector<std::string>& switchFlags, std::string* error) {
    std::map<std::string, bool> takesValue;
    for (const auto* list : {&valueFlags, &switchFlags}) {
        for (const auto& flag : *list) {
            const auto bar = flag.find('|');
            aliases_[flag.substr(0, bar)] = flag;
            if (bar != std::string::npos) aliases_[flag.substr(bar + 1)] = flag;
            aliases_[flag] = flag;
            takesValue[flag] = list == &valueFlags;
        }
    }
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (!looksLikeFlag(words[i])) {
            positional_.push_back(words[i].text);
            continue;
        }
        const std::string name = words[i].text.substr(1);
        const auto at = aliases_.find(name);
        if (at == aliases_.end()) {
            *error = "Invalid flag '" + words[i].text + "'";
            return false;
        }
        if (!takesValue[at->second]) {
            // q=False from Python leaves the switch out, as if it was never given.
            const bool switchedOff =
                i + 1 < words.size() && words[i + 1].switchValue && words[i + 1].text == "0";
            if (i + 1 < words.size() && words[i + 1].switchValue) ++i;
            if (!switchedOff) values_[at->second];
            continue;
        }
        if (i + 1 >= words.size()) {
            *error = "Flag '" + words[i].text + "' needs a value.";
            return false;
        }
        values_[at->second].push_back(words[++i].text);
    }
    return true;
}

}  // namespace headless::detail
