#include <maya/MIntArray.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include "core/ThreadCheck.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "core/DataObject.h"
#include "core/Evaluation.h"
#include "core/Plugs.h"
#include "core/Scene.h"

using namespace headless::detail;

namespace {

void report(MStatus* returnStatus, bool ok, MStatus failure = MStatus::kFailure) {
    if (returnStatus) *returnStatus = ok ? MStatus::kSuccess : failure;
}

int toInt(double value) {
    if (!std::isfinite(value)) return 0;
    return static_cast<int>(
        std::clamp(std::trunc(value), static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

MStatus assign(const MPlug& plug, Value value) {
    std::string ignored;
    return setPlugValue(plug, std::move(value), &ignored);
}

}  // namespace

MPlug::MPlug(const MObject& node, const MObject& attribute)
    : node_(hostCast<Node>(node)), attribute_(hostCast<Attribute>(attribute)) {
    if (!node_ || !attribute_ || !node_->owns(*attribute_)) {
        node_.reset();
        attribute_.reset();
    }
}

MPlug::MPlug(std::shared_ptr<Node> node, std::shared_ptr<Attribute> attribute,
             std::vector<unsigned int> indices)
    : node_(std::move(node)), attribute_(std::move(attribute)), indices_(std::move(indices)) {}

bool MPlug::isNull(MStatus* returnStatus) const {
    report(returnStatus, true);
    return !node_ || !attribute_;
}

MObject MPlug::attribute(MStatus* returnStatus) const {
    report(returnStatus, attribute_ != nullptr);
    return attribute_ ? wrap(attribute_) : MObject();
}

MObject MPlug::node(MStatus* returnStatus) const {
    report(returnStatus, node_ != nullptr);
    return node_ ? wrap(node_) : MObject();
}

MString MPlug::name(MStatus* returnStatus) const {
    report(returnStatus, !isNull());
    return MString(plugPath(*this, true, true, false).c_str());
}

MString MPlug::partialName(bool includeNodeName, bool, bool, bool, bool useFullAttributePath,
                           bool useLongNames, MStatus* returnStatus) const {
    report(returnStatus, !isNull());
    return MString(plugPath(*this, useLongNames, includeNodeName, useFullAttributePath).c_str());
}

bool MPlug::isNetworked(MStatus* returnStatus) const {
    report(returnStatus, !isNull());
    return isValidPlug(*this);
}
bool MPlug::isArray(MStatus* returnStatus) const {
    report(returnStatus, !isNull());
    return isArrayPlug(*this);
}
bool MPlug::isElement(MStatus* returnStatus) const {
    report(returnStatus, !isNull());
    return isElementPlug(*this);
}
bool MPlug::isCompound(MStatus* returnStatus) const {
    report(returnStatus, !isNull());
    return attribute_ && attribute_->kind == AttributeKind::Compound;
}
bool MPlug::isChild(MStatus* returnStatus) const {
    report(returnStatus, !isNull());
    return attribute_ && attribute_->parentAttribute() != nullptr;
}
bool MPlug::isDynamic(MStatus* returnStatus) const {
    report(returnStatus, !isNull());
    return attribute_ && attribute_->dynamic;
}
bool MPlug::isKeyable(MStatus* returnStatus) const {
    report(returnStatus, !isNull());
    return attribute_ && attribute_->keyable;
}
bool MPlug::isLocked(MStatus* returnStatus) const {
    report(returnStatus, !isNull());
    return false;
}
bool MPlug::isConnected(MStatus* returnStatus) const {
    return isSource(returnStatus) || isDestination(returnStatus);
}

bool MPlug::isSource(MStatus* returnStatus) const {
    MPlugArray plugs;
    return connectedTo(plugs, false, true, returnStatus);
}

bool MPlug::isDestination(MStatus* returnStatus) const {
    MPlugArray plugs;
    return connectedTo(plugs, true, false, returnStatus);
}

unsigned int MPlug::numChildren(MStatus* returnStatus) const {
    report(returnStatus, !isNull());
    return attribute_ ? static_cast<unsigned int>(attribute_->children.size()) : 0u;
}

MPlug MPlug::child(unsigned int index, MStatus* returnStatus) const {
    const bool ok = attribute_ && index < attribute_->children.size();
    report(returnStatus, ok, MStatus::kInvalidParameter);
    return ok ? makePlug(node_, attribute_->children[index], indices_) : MPlug();
}

MPlug MPlug::child(MObject& attribute, MStatus* returnStatus) const {
    const auto wanted = hostCast<Attribute>(attribute);
    const bool ok = wanted && attribute_ && wanted->parentAttribute() == attribute_;
    report(returnStatus, ok, MStatus::kInvalidParameter);
    return ok ? makePlug(node_, wanted, indices_) : MPlug();
}

MPlug MPlug::parent(MStatus* returnStatus) const {
    const MPlug up = isNull() ? MPlug() : parentPlug(*this);
    report(returnStatus, !up.isNull());
    return up;
}

MPlug MPlug::array(MStatus* returnStatus) const {
    const MPlug whole = arrayPlug(*this);
    report(returnStatus, !whole.isNull());
    return whole;
}

unsigned int MPlug::numElements(MStatus* returnStatus) const {
    report(returnStatus, isArrayPlug(*this));
    return static_cast<unsigned int>(existingElements(*this).size());
}

unsigned int MPlug::evaluateNumElements(MStatus* returnStatus) {
    if (isArrayPlug(*this)) evaluatePlug(*this);
    return numElements(returnStatus);
}

MPlug MPlug::elementByLogicalIndex(unsigned int logicalIndex, MStatus* returnStatus) const {
    const MPlug element = elementPlug(*this, logicalIndex);
    report(returnStatus, !element.isNull());
    return element;
}

MPlug MPlug::elementByPhysicalIndex(unsigned int physicalIndex, MStatus* returnStatus) const {
    const auto indices = existingElements(*this);
    const bool ok = physicalIndex < indices.size();
    report(returnStatus, ok, MStatus::kInvalidParameter);
    return ok ? elementPlug(*this, indices[physicalIndex]) : MPlug();
}

unsigned int MPlug::logicalIndex(MStatus* returnStatus) const {
    const bool ok = isElementPlug(*this);
    report(returnStatus, ok);
    return ok ? indices_.back() : UINT_MAX;
}

unsigned int MPlug::getExistingArrayAttributeIndices(MIntArray& indices, MStatus* returnStatus) {
    indices.clear();
    for (const unsigned int index : existingElements(*this))
        indices.append(static_cast<int>(index));
    report(returnStatus, isArrayPlug(*this));
    return indices.length();
}

bool MPlug::connectedTo(MPlugArray& array, bool asDst, bool asSrc, MStatus* returnStatus) const {
    headless::detail::requireMainThread("MPlug::connectedTo");
    array.clear();
    report(returnStatus, !isNull());
    if (isNull()) return false;
    for (const auto& c : Scene::instance().connections()) {
        if (asDst && nodeOf(c.destination) == node_ && keyOf(c.destination) == keyOf(*this))
            array.append(c.source);
        if (asSrc && nodeOf(c.source) == node_ && keyOf(c.source) == keyOf(*this))
            array.append(c.destination);
    }
    return array.length() > 0;
}

MPlug MPlug::source(MStatus* returnStatus) const {
    MPlugArray plugs;
    connectedTo(plugs, true, false, returnStatus);
    return plugs.length() > 0 ? plugs[0] : MPlug();
}

bool MPlug::destinations(MPlugArray& array, MStatus* returnStatus) const {
    return connectedTo(array, false, true, returnStatus);
}

double MPlug::asDouble(MStatus* returnStatus) const {
    return asDouble(MDGContext::fsNormal, returnStatus);
}

double MPlug::asDouble(const MDGContext& context, MStatus* returnStatus) const {
    headless::detail::requireMainThread("MPlug::asDouble");
    const bool ok = isValidPlug(*this) && attribute_->isNumber();
    report(returnStatus, ok);
    return ok ? asNumber(evaluatePlug(*this, context)) : 0.0;
}

float MPlug::asFloat(MStatus* returnStatus) const {
    return static_cast<float>(asDouble(returnStatus));
}
int MPlug::asInt(MStatus* returnStatus) const {
    return toInt(asDouble(returnStatus));
}
short MPlug::asShort(MStatus* returnStatus) const {
    return static_cast<short>(std::clamp(asInt(returnStatus), SHRT_MIN, SHRT_MAX));
}
bool MPlug::asBool(MStatus* returnStatus) const {
    return asDouble(returnStatus) != 0.0;
}

MString MPlug::asString(MStatus* returnStatus) const {
    headless::detail::requireMainThread("MPlug::asString");
    const bool ok = isValidPlug(*this) && attribute_->kind == AttributeKind::Typed;
    report(returnStatus, ok);
    if (!ok) return MString();
    // By length: a string value may hold any byte, NUL included.
    const std::string text = asText(evaluatePlug(*this));
    return MString(text.c_str(), static_cast<int>(text.size()));
}

MObject MPlug::asMObject(MStatus* returnStatus) const {
    headless::detail::requireMainThread("MPlug::asMObject");
    const bool ok = isValidPlug(*this) && attribute_->kind == AttributeKind::Typed;
    report(returnStatus, ok);
    if (!ok) return MObject();
    const MFn::Type type =
        attribute_->dataType == MFnData::kStringArray ? MFn::kStringArrayData : MFn::kStringData;
    return wrap(std::make_shared<DataObject>(type, evaluatePlug(*this)));
}

MStatus MPlug::setDouble(double value) {
    headless::detail::requireMainThread("MPlug::setDouble");
    if (!isValidPlug(*this) || !attribute_->isNumber()) return MStatus::kInvalidParameter;
    return assign(*this, value);
}
MStatus MPlug::setFloat(float value) {
    return setDouble(static_cast<double>(value));
}
MStatus MPlug::setInt(int value) {
    return setDouble(static_cast<double>(value));
}
MStatus MPlug::setShort(short value) {
    return setDouble(static_cast<double>(value));
}
MStatus MPlug::setBool(bool value) {
    return setDouble(value ? 1.0 : 0.0);
}

MStatus MPlug::setString(const MString& value) {
    headless::detail::requireMainThread("MPlug::setString");
    if (!isValidPlug(*this) || attribute_->kind != AttributeKind::Typed ||
        attribute_->dataType != MFnData::kString) {
        return MStatus::kInvalidParameter;
    }
    return assign(*this, std::string(value.asChar(), value.length()));
}

MStatus MPlug::setMObject(const MObject& data) {
    headless::detail::requireMainThread("MPlug::setMObject");
    const auto object = hostCast<DataObject>(data);
    if (!object || !isValidPlug(*this) || attribute_->kind != AttributeKind::Typed)
        return MStatus::kInvalidParameter;
    const bool fits = std::holds_alternative<std::vector<std::string>>(object->value)
                          ? attribute_->dataType == MFnData::kStringArray
                          : attribute_->dataType == MFnData::kString;
    if (!fits) return MStatus::kInvalidParameter;
    return assign(*this, object->value);
}

bool MPlug::operator==(const MPlug& other) const {
    return node_ == other.node_ && attribute_ == other.attribute_ && indices_ == other.indices_;
}

bool MPlug::operator==(const MObject& attribute) const {
    return attribute_ && attribute_ == hostCast<Attribute>(attribute);
}
