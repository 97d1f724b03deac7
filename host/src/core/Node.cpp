#include "core/Node.h"

#include <algorithm>

#include "core/HostAccess.h"

namespace headless::detail {

Node::Node(std::shared_ptr<NodeType> type, std::string name)
    : type(std::move(type)), name(std::move(name)) {}

Node::~Node() = default;

MFn::Type Node::apiType() const {
    return type->apiType;
}

bool Node::hasFn(MFn::Type t) const {
    if (t == MFn::kBase || t == MFn::kNamedObject || t == MFn::kDependencyNode ||
        t == type->apiType)
        return true;
    if (t == MFn::kDagNode) return type->dag;
    if (t == MFn::kSet) return type->kind == MPxNode::kObjectSet;
    if (t == MFn::kAnimCurve) {
        return type->apiType == MFn::kAnimCurveTimeToAngular ||
               type->apiType == MFn::kAnimCurveTimeToDistance ||
               type->apiType == MFn::kAnimCurveTimeToUnitless;
    }
    return false;
}

MObject Node::object() {
    return wrap(shared_from_this());
}

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

void Node::indexTree(const Attribute& attribute) const {
    // The first attribute to claim a name keeps it, as a search in root order finds it first.
    names_.emplace(attribute.longName, const_cast<Attribute*>(&attribute));
    names_.emplace(attribute.shortName, const_cast<Attribute*>(&attribute));
    for (const auto& child : attribute.children) indexTree(*child);
}

void Node::buildNameIndex() const {
    names_.clear();
    for (const auto& root : rootAttributes()) indexTree(*root);
    indexedStaticCount_ = type->attributes.size();
    namesBuilt_ = true;
}

std::shared_ptr<Attribute> Node::findAttribute(const std::string& attrName) const {
    if (!namesBuilt_ || indexedStaticCount_ != type->attributes.size()) buildNameIndex();
    if (const auto found = names_.find(attrName); found != names_.end())
        return found->second->self();
    if (const auto alias = aliases.find(attrName); alias != aliases.end()) {
        return findAttribute(alias->second.substr(0, alias->second.find('[')));
    }
    return nullptr;
}

bool Node::ownsRoot(const Attribute& attribute) const {
    return dynamicRoots_.count(&attribute) != 0 || type->ownsTopLevel(attribute);
}

void Node::addDynamicRoot(const std::shared_ptr<Attribute>& attribute) {
    dynamicAttributes.push_back(attribute);
    dynamicRoots_.insert(attribute.get());
    // Dynamic names are unique on the node, so they only add to the index.
    if (namesBuilt_) indexTree(*attribute);
}

void Node::removeDynamicRoot(const std::shared_ptr<Attribute>& attribute) {
    forgetDynamicTree(*attribute);
    dynamicRoots_.erase(attribute.get());
    dynamicAttributes.erase(
        std::remove(dynamicAttributes.begin(), dynamicAttributes.end(), attribute),
        dynamicAttributes.end());
}

void Node::forgetDynamicTree(const Attribute& attribute) {
    if (!namesBuilt_) return;
    for (const std::string* name : {&attribute.longName, &attribute.shortName}) {
        const auto at = names_.find(*name);
        if (at != names_.end() && at->second == &attribute) names_.erase(at);
    }
    for (const auto& child : attribute.children) forgetDynamicTree(*child);
}

bool Node::owns(const Attribute& attribute) const {
    const auto chain = attribute.path();
    return !chain.empty() && ownsRoot(*chain.front());
}

PlugState* Node::findState(const PlugKey& key) {
    const auto at = plugs.find(key);
    return at == plugs.end() ? nullptr : &at->second;
}

PlugState& Node::state(const PlugKey& key) {
    return plugs[key];
}

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
