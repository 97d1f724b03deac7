#include "core/Plugs.h"

namespace headless::detail {

PlugKey keyOf(const MPlug& plug) {
    return PlugKey{attributeOf(plug).get(), indicesOf(plug)};
}

bool isArrayPlug(const MPlug& plug) {
    const auto& attribute = attributeOf(plug);
    return attribute && attribute->array && indicesOf(plug).size() + 1 == attribute->arrayDepth();
}

bool isElementPlug(const MPlug& plug) {
    const auto& attribute = attributeOf(plug);
    return attribute && attribute->array && indicesOf(plug).size() == attribute->arrayDepth();
}

Node* liveNode(const MPlug& plug) {
    const auto& node = nodeOf(plug);
    return node && node->alive ? node.get() : nullptr;
}

bool isValidPlug(const MPlug& plug) {
    const Node* node = liveNode(plug);
    const auto& attribute = attributeOf(plug);
    if (!node || !attribute || !node->owns(*attribute)) return false;
    const auto depth = attribute->arrayDepth();
    const auto count = indicesOf(plug).size();
    return count == depth || (attribute->array && count + 1 == depth);
}

MPlug parentPlug(const MPlug& plug) {
    const auto parent = attributeOf(plug) ? attributeOf(plug)->parentAttribute() : nullptr;
    if (!parent) return MPlug();
    // The child's own array index (if the child is an array) does not belong to the parent.
    auto indices = indicesOf(plug);
    if (indices.size() > parent->arrayDepth()) indices.resize(parent->arrayDepth());
    return makePlug(nodeOf(plug), parent, indices);
}

MPlug arrayPlug(const MPlug& element) {
    if (!isElementPlug(element)) return MPlug();
    auto indices = indicesOf(element);
    indices.pop_back();
    return makePlug(nodeOf(element), attributeOf(element), indices);
}

MPlug elementPlug(const MPlug& array, unsigned int logicalIndex) {
    if (!isArrayPlug(array)) return MPlug();
    auto indices = indicesOf(array);
    indices.push_back(logicalIndex);
    return makePlug(nodeOf(array), attributeOf(array), indices);
}

MPlug childPlug(const MPlug& compound, unsigned int position) {
    const auto& attribute = attributeOf(compound);
    if (!attribute || position >= attribute->children.size() || isArrayPlug(compound))
        return MPlug();
    return makePlug(nodeOf(compound), attribute->children[position], indicesOf(compound));
}

std::vector<unsigned int> existingElements(const MPlug& array) {
    Node* node = liveNode(array);
    if (!node || !isArrayPlug(array)) return {};
    const auto& set = node->elementsOf(keyOf(array));
    return {set.begin(), set.end()};
}

void ensureElementsExist(const MPlug& plug) {
    Node* node = liveNode(plug);
    if (!node) return;
    std::vector<unsigned int> above;
    std::size_t next = 0;
    for (const Attribute* at : attributeOf(plug)->path()) {
        if (!at->array) continue;
        if (next >= indicesOf(plug).size()) break;
        node->elementsOf(PlugKey{at, above}).insert(indicesOf(plug)[next]);
        above.push_back(indicesOf(plug)[next]);
        ++next;
    }
}

bool plugWithin(const MPlug& inner, const MPlug& outer) {
    return nodeOf(inner) == nodeOf(outer) && attributeOf(inner) && attributeOf(outer) &&
           keyWithin(keyOf(inner), keyOf(outer));
}

std::string plugPath(const MPlug& plug, bool longNames, bool includeNodeName, bool fullPath) {
    const auto& attribute = attributeOf(plug);
    if (!attribute) return {};
    const auto chain = attribute->path();
    // Parents are named when asked for, or when an index above the leaf must be shown.
    std::size_t first = chain.size() - 1;
    for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
        if (fullPath || chain[i]->array) {
            first = i;
            break;
        }
    }
    std::string text;
    std::size_t index = 0;
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const Attribute* at = chain[i];
        const bool hasIndex = at->array && index < indicesOf(plug).size();
        if (i >= first) {
            if (!text.empty()) text += '.';
            text += longNames ? at->longName : at->shortName;
            if (hasIndex) text += "[" + std::to_string(indicesOf(plug)[index]) + "]";
        }
        if (hasIndex) ++index;
    }
    if (includeNodeName && nodeOf(plug)) text = nodeOf(plug)->name + "." + text;
    return text;
}

}  // namespace headless::detail
