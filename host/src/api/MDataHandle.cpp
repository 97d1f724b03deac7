#include <maya/MDataHandle.h>
#include <maya/MPlug.h>

#include <algorithm>
#include <climits>
#include <cmath>

#include "core/DataObject.h"
#include "core/Evaluation.h"
#include "core/Node.h"

using namespace headless::detail;

MDataHandle::MDataHandle(Node* node, std::shared_ptr<Attribute> attribute,
                         std::vector<unsigned int> indices)
    : node_(node), attribute_(std::move(attribute)), indices_(std::move(indices)) {}

namespace {

MPlug plugOf(Node* node, const std::shared_ptr<Attribute>& attribute,
             const std::vector<unsigned int>& indices) {
    if (!node || !attribute) return MPlug();
    return makePlug(node->self(), attribute, indices);
}

}  // namespace

double MDataHandle::number() const {
    return asNumber(storedValue(plugOf(node_, attribute_, indices_)));
}

void MDataHandle::setNumber(double value) {
    writeValue(plugOf(node_, attribute_, indices_), value);
}

bool MDataHandle::isNumeric() const {
    return attribute_ && attribute_->kind == AttributeKind::Numeric;
}

MFnNumericData::Type MDataHandle::numericType() const {
    return isNumeric() ? attribute_->numericType : MFnNumericData::kInvalid;
}

MObject MDataHandle::attribute() {
    return attribute_ ? wrap(attribute_) : MObject();
}

bool MDataHandle::asBool() const {
    return number() != 0.0;
}
char MDataHandle::asChar() const {
    return static_cast<char>(std::clamp(asInt(), CHAR_MIN, CHAR_MAX));
}
short MDataHandle::asShort() const {
    return static_cast<short>(std::clamp(asInt(), SHRT_MIN, SHRT_MAX));
}

int MDataHandle::asInt() const {
    const double value = number();
    if (!std::isfinite(value)) return 0;
    return static_cast<int>(
        std::clamp(std::trunc(value), static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

float MDataHandle::asFloat() const {
    return static_cast<float>(number());
}
double MDataHandle::asDouble() const {
    return number();
}

MString& MDataHandle::asString() const {
    text_ = MString(asText(storedValue(plugOf(node_, attribute_, indices_))).c_str());
    return text_;
}

// Times are stored in seconds and handed out in the scene's time unit.
MTime MDataHandle::asTime() const {
    MTime time(number(), MTime::kSeconds);
    time.setUnit(MTime::uiUnit());
    return time;
}

MObject MDataHandle::data() {
    if (!attribute_ || attribute_->kind != AttributeKind::Typed) return MObject();
    const MFn::Type type =
        attribute_->dataType == MFnData::kStringArray ? MFn::kStringArrayData : MFn::kStringData;
    return wrap(
        std::make_shared<DataObject>(type, storedValue(plugOf(node_, attribute_, indices_))));
}

void MDataHandle::set(bool value) {
    setNumber(value ? 1.0 : 0.0);
}
void MDataHandle::set(short value) {
    setNumber(value);
}
void MDataHandle::set(int value) {
    setNumber(value);
}
void MDataHandle::set(float value) {
    setNumber(static_cast<double>(value));
}
void MDataHandle::set(double value) {
    setNumber(value);
}
void MDataHandle::set(const MString& value) {
    writeValue(plugOf(node_, attribute_, indices_), std::string(value.asChar()));
}
void MDataHandle::set(const MTime& value) {
    setNumber(value.as(MTime::kSeconds));
}

MStatus MDataHandle::set(const MObject& data) {
    const auto object = hostCast<DataObject>(data);
    if (!object || !attribute_ || attribute_->kind != AttributeKind::Typed)
        return MStatus::kInvalidParameter;
    writeValue(plugOf(node_, attribute_, indices_), object->value);
    return MStatus::kSuccess;
}

void MDataHandle::setClean() {
    setPlugClean(plugOf(node_, attribute_, indices_));
}

MDataHandle MDataHandle::child(const MObject& attribute) {
    const auto wanted = hostCast<Attribute>(attribute);
    if (!wanted || !attribute_ || wanted->parentAttribute() != attribute_) return MDataHandle();
    return MDataHandle(node_, wanted, indices_);
}

MDataHandle MDataHandle::child(const MPlug& plug) {
    return child(plug.attribute());
}
