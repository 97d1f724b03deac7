#include "scene/PlugPathText.h"

#include "core/Plugs.h"

namespace headless::detail {

namespace {

// "name" or "name[12]".
bool splitSegment(const std::string& segment, std::string& name, bool& hasIndex,
                  unsigned int& index) {
    const auto open = segment.find('[');
    hasIndex = open != std::string::npos;
    name = segment.substr(0, open);
    if (name.empty()) return false;
    if (!hasIndex) return true;
    if (segment.back() != ']' || open + 2 >= segment.size() || open + 12 < segment.size())
        return false;
    unsigned long long number = 0;
    for (std::size_t i = open + 1; i + 1 < segment.size(); ++i) {
        if (segment[i] < '0' || segment[i] > '9') return false;
        number = number * 10 + static_cast<unsigned long long>(segment[i] - '0');
    }
    if (number > 0xffffffffull) return false;
    index = static_cast<unsigned int>(number);
    return true;
}

}  // namespace

std::string formatPlugPath(const MPlug& plug) {
    return plugPath(plug, true, false, true);
}

bool resolvePlugPath(const std::vector<std::shared_ptr<Attribute>>& roots, const std::string& path,
                     ResolvedPath& resolved, std::string* error) {
    resolved = ResolvedPath();
    const std::vector<std::shared_ptr<Attribute>>* candidates = &roots;
    std::size_t start = 0;
    while (true) {
        const auto dot = path.find('.', start);
        const std::string segment =
            path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        const bool last = dot == std::string::npos;
        std::string name;
        bool hasIndex = false;
        unsigned int index = 0;
        if (!splitSegment(segment, name, hasIndex, index)) {
            *error = "'" + path + "' is not a plug path";
            return false;
        }
        std::shared_ptr<Attribute> found;
        for (const auto& candidate : *candidates) {
            if (candidate->hasName(name)) {
                found = candidate;
                break;
            }
        }
        if (!found) {
            *error = "no attribute '" + name + "' for '" + path + "'";
            return false;
        }
        if (hasIndex && !found->array) {
            *error = "'" + name + "' in '" + path + "' is not an array";
            return false;
        }
        if (!hasIndex && found->array && !last) {
            *error = "'" + path + "' lacks the index of '" + name + "'";
            return false;
        }
        if (hasIndex) resolved.indices.push_back(index);
        resolved.attribute = found;
        if (last) return true;
        candidates = &found->children;
        start = dot + 1;
    }
}

}  // namespace headless::detail
