#include "core/Attribute.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace headless::detail {

Attribute::Attribute(AttributeKind kind, std::string longName, std::string shortName)
    : kind(kind), longName(std::move(longName)), shortName(std::move(shortName)) {
    if (this->shortName.empty()) this->shortName = this->longName;
}

MFn::Type Attribute::apiType() const {
    switch (kind) {
        case AttributeKind::Numeric:
            return MFn::kNumericAttribute;
        case AttributeKind::Unit:
            return MFn::kUnitAttribute;
        case AttributeKind::Typed:
            return MFn::kTypedAttribute;
        case AttributeKind::Compound:
            return MFn::kCompoundAttribute;
        case AttributeKind::Message:
            return MFn::kMessageAttribute;
    }
    return MFn::kAttribute;
}

bool Attribute::hasFn(MFn::Type type) const {
    return type == MFn::kBase || type == MFn::kAttribute || type == apiType();
}

std::vector<const Attribute*> Attribute::path() const {
    std::vector<const Attribute*> chain;
    const Attribute* at = this;
    std::shared_ptr<Attribute> keep;
    while (at) {
        chain.push_back(at);
        keep = at->parent.lock();
        at = keep.get();
    }
    std::reverse(chain.begin(), chain.end());
    return chain;
}

unsigned int Attribute::arrayDepth() const {
    unsigned int depth = 0;
    for (const Attribute* at : path()) depth += at->array ? 1u : 0u;
    return depth;
}

bool Attribute::isAncestorOrSelf(const Attribute& other) const {
    for (const Attribute* at : other.path()) {
        if (at == this) return true;
    }
    return false;
}

std::shared_ptr<Attribute> Attribute::findInTree(const std::string& name) {
    if (hasName(name)) return self();
    for (const auto& child : children) {
        if (auto found = child->findInTree(name)) return found;
    }
    return nullptr;
}

unsigned int Attribute::childPosition() const {
    const auto owner = parent.lock();
    if (!owner) return 0;
    for (unsigned int i = 0; i < owner->children.size(); ++i) {
        if (owner->children[i].get() == this) return i;
    }
    return 0;
}

void Attribute::adoptChild(const std::shared_ptr<Attribute>& child) {
    child->parent = self();
    children.push_back(child);
    childNames_.insert(child->longName);
    childNames_.insert(child->shortName);
}

void Attribute::dropChild(const std::shared_ptr<Attribute>& child) {
    const auto before = children.size();
    children.erase(std::remove(children.begin(), children.end(), child), children.end());
    if (children.size() == before) return;
    for (const std::string* name : {&child->longName, &child->shortName}) {
        const auto at = childNames_.find(*name);
        if (at != childNames_.end()) childNames_.erase(at);
    }
    child->parent.reset();
}

double Attribute::normalized(double value) const {
    if (!std::isfinite(value) && kind == AttributeKind::Numeric &&
        numericType != MFnNumericData::kFloat && numericType != MFnNumericData::kDouble) {
        value = 0.0;
    }
    if (minimum) value = std::max(value, *minimum);
    if (maximum) value = std::min(value, *maximum);
    if (kind != AttributeKind::Numeric) return value;
    switch (numericType) {
        case MFnNumericData::kBoolean:
            return value != 0.0 ? 1.0 : 0.0;
        case MFnNumericData::kByte:
        case MFnNumericData::kChar:
        case MFnNumericData::kShort:
        case MFnNumericData::kLong:
        case MFnNumericData::kInt64:
            return std::trunc(value);
        case MFnNumericData::kFloat:
            return static_cast<double>(static_cast<float>(value));
        default:
            return value;
    }
}

bool isValidAttributeName(const std::string& name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    });
}

std::shared_ptr<Attribute> makeAttribute(AttributeKind kind, const std::string& longName,
                                         const std::string& shortName) {
    return std::make_shared<Attribute>(kind, longName, shortName);
}

}  // namespace headless::detail
