#include "script/PlugNames.h"

#include <cctype>

#include "core/Plugs.h"
#include "core/Scene.h"

namespace headless::detail {

namespace {

struct Part {
    std::string name;
    bool hasIndex = false;
    unsigned int index = 0;
};

bool splitParts(const std::string& path, std::vector<Part>& parts) {
    std::size_t begin = 0;
    while (begin <= path.size()) {
        const auto end = std::min(path.find('.', begin), path.size());
        std::string piece = path.substr(begin, end - begin);
        Part part;
        const auto open = piece.find('[');
        if (open != std::string::npos) {
            if (piece.back() != ']' || open + 2 > piece.size() - 1) return false;
            const std::string digits = piece.substr(open + 1, piece.size() - open - 2);
            if (digits.empty() || digits.size() > 9) return false;
            for (const char c : digits) {
                if (!std::isdigit(static_cast<unsigned char>(c))) return false;
            }
            part.hasIndex = true;
            part.index = static_cast<unsigned int>(std::stoul(digits));
            piece.resize(open);
        }
        if (piece.empty()) return false;
        part.name = piece;
        parts.push_back(part);
        begin = end + 1;
    }
    return !parts.empty();
}

}  // namespace

MPlug resolvePlug(const std::string& name, std::string* error) {
    const auto dot = name.find('.');
    if (dot == std::string::npos) {
        *error = "'" + name + "' names no attribute.";
        return MPlug();
    }
    const auto node = Scene::instance().findNode(name.substr(0, dot));
    if (!node) {
        *error = "No object matches name: " + name;
        return MPlug();
    }
    std::vector<Part> parts;
    if (!splitParts(name.substr(dot + 1), parts)) {
        *error = "Invalid attribute name: " + name;
        return MPlug();
    }
    // An alias (aliasAttr) stands for the plug it names: "face.smile" is "face.weight[2]".
    if (const auto alias = node->aliases.find(parts.front().name);
        alias != node->aliases.end() && !parts.front().hasIndex) {
        std::vector<Part> named;
        if (splitParts(alias->second, named)) {
            named.insert(named.end(), parts.begin() + 1, parts.end());
            parts = std::move(named);
        }
    }
    std::shared_ptr<Attribute> attribute;
    std::vector<unsigned int> indices;
    for (const auto& part : parts) {
        std::shared_ptr<Attribute> next;
        if (!attribute) {
            next = node->findAttribute(part.name);
        } else {
            for (const auto& child : attribute->children) {
                if (child->hasName(part.name)) next = child;
            }
        }
        if (!next) {
            *error = "No object matches name: " + name;
            return MPlug();
        }
        // Arrays above a child named alone keep no index: such a plug is not usable.
        if (part.hasIndex != next->array && part.hasIndex) {
            *error = "'" + part.name + "' is not an array: " + name;
            return MPlug();
        }
        if (part.hasIndex) indices.push_back(part.index);
        attribute = next;
    }
    MPlug plug = makePlug(node, attribute, indices);
    if (!isValidPlug(plug)) {
        *error = "The plug '" + name + "' needs an index for every array above it.";
        return MPlug();
    }
    return plug;
}

}  // namespace headless::detail
