#include "core/Node.h"

#include <algorithm>

#include "core/HostAccess.h"

namespace headless::detail {

Node::Node(std::shared_ptr<NodeType> type, std::string name) : type(std::move(type)), name(std::move(name)) {}

Node::~Node() = default;

MFn::Type Node::apiType() const { return type->apiType; }

bool Node::hasFn(MFn::Type t) const {
    if (t == MFn::kBase || t == MFn::kNamedObject || t == MFn::kDependencyNode || t == type->apiType) return true;
    if (t == MFn::kDagNode) return type->dag;
    if (t == MFn::kSet) return type->kind == MPxNode::kObjectSet;
    return false;
}

MObject Node::object() { return wrap(shared_from_this()); }

void Node::attach(MPxNode* node) {
    user.reset(node);
    if (user) HostAccess::attachHost(*user, this);
}

void Node::destroyUserNode() {
    alive = false;
    user.reset();
}

std::vector<std::shared_ptr<Attribute>> Node::rootAttributes() const {
    std::vector<std::shared_ptr<Attribute>> all = type->attributes;
    all.insert(all.end(), dynamicAttributes.begin(), dynamicAttributes.end());
    return all;
}

std::shared_ptr<Attribute> Node::findAttribute(const std::string& attrName) const {
    for (const auto& root : rootAttributes()) {
        if (auto found = root->findInTree(attrName)) return found;
    }
    if (const auto alias = aliases.find(attrName); alias != aliases.end()) return findAttribute(alias->second);
    return nullptr;
}

bool Node::ownsRoot(const Attribute& attribute) const {
    if (type->ownsTopLevel(attribute)) return true;
    return std::any_of(dynamicAttributes.begin(), dynamicAttributes.end(),
                       [&](const auto& a) { return a.get() == &attribute; });
}

bool Node::owns(const Attribute& attribute) const {
    const auto chain = attribute.path();
    return !chain.empty() && ownsRoot(*chain.front());
}

PlugState* Node::findState(const PlugKey& key) {
    const auto at = plugs.find(key);
    return at == plugs.end() ? nullptr : &at->second;
}

PlugState& Node::state(const PlugKey& key) { return plugs[key]; }

void Node::forgetTree(const PlugKey& key) {
    for (auto at = plugs.begin(); at != plugs.end();) {
        at = keyWithin(at->first, key) ? plugs.erase(at) : std::next(at);
    }
    for (auto at = elements.begin(); at != elements.end();) {
        at = keyWithin(at->first, key) ? elements.erase(at) : std::next(at);
    }
}

bool keyWithin(const PlugKey& inner, const PlugKey& outer) {
    if (!outer.attribute->isAncestorOrSelf(*inner.attribute)) return false;
    if (outer.indices.size() > inner.indices.size()) return false;
    return std::equal(outer.indices.begin(), outer.indices.end(), inner.indices.begin());
}

}  // namespace headless::detail
