#include "transport/protocol/ChannelNameRule.h"

#include <unordered_map>
#include <unordered_set>

namespace {

bool isNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isValid(const std::string& name) {
    if (name.empty() || name.size() > kMaxChannelNameLength || isDigit(name.front())) return false;
    for (const char c : name) {
        if (!isNameCharacter(c)) return false;
    }
    return true;
}

// Leaves room for a collision suffix within the length limit.
constexpr std::size_t kSuffixRoom = 8;

std::string replaced(const std::string& name) {
    std::string result;
    if (name.empty() || isDigit(name.front())) result.push_back('_');
    for (const char c : name) result.push_back(isNameCharacter(c) ? c : '_');
    if (result.size() > kMaxChannelNameLength - kSuffixRoom)
        result.resize(kMaxChannelNameLength - kSuffixRoom);
    return result;
}

}  // namespace

ChannelNameLists validChannelNames(const ChannelNameLists& names,
                                   std::vector<ChannelRenaming>* renamings) {
    ChannelNameLists valid;
    for (const ChannelKind kind : kChannelKinds) {
        const auto& list = names.of(kind);
        auto& out = valid.of(kind);
        out.reserve(list.size());
        // Names that need no change keep it: they are taken first.
        std::unordered_set<std::string> taken;
        for (const auto& name : list) {
            if (isValid(name)) taken.insert(name);
        }
        std::unordered_map<std::string, std::string> changed;  // a name listed twice, once
        for (const auto& name : list) {
            if (isValid(name)) {
                out.push_back(name);
                continue;
            }
            const auto known = changed.find(name);
            if (known != changed.end()) {
                out.push_back(known->second);
                continue;
            }
            const std::string base = replaced(name);
            std::string candidate = base;
            for (unsigned suffix = 2; taken.count(candidate) > 0; ++suffix) {
                candidate = base + "_" + std::to_string(suffix);
            }
            taken.insert(candidate);
            changed.emplace(name, candidate);
            if (renamings) renamings->push_back(ChannelRenaming{kind, name, candidate});
            out.push_back(std::move(candidate));
        }
    }
    return valid;
}
