#include <maya/MFnAttribute.h>

#include "api/FunctionSetDefinition.h"
#include "core/Attribute.h"

using headless::detail::Attribute;
using headless::detail::hostCast;

namespace {

template <typename Get>
auto readFlag(const MObject& object, MStatus* returnStatus, Get get) {
    const auto attribute = hostCast<Attribute>(object);
    if (returnStatus) *returnStatus = attribute ? MStatus::kSuccess : MStatus::kFailure;
    return attribute ? get(*attribute) : decltype(get(*attribute)){};
}

template <typename Set>
MStatus writeFlag(const MObject& object, Set set) {
    const auto attribute = hostCast<Attribute>(object);
    if (!attribute) return MStatus::kFailure;
    set(*attribute);
    return MStatus::kSuccess;
}

}  // namespace

implementMFn(MFnAttribute, kAttribute);

bool MFnAttribute::isReadable(MStatus* s) const {
    return readFlag(object_, s, [](const Attribute& a) { return a.readable; });
}
bool MFnAttribute::isWritable(MStatus* s) const {
    return readFlag(object_, s, [](const Attribute& a) { return a.writable; });
}
bool MFnAttribute::isConnectable(MStatus* s) const {
    return readFlag(object_, s, [](const Attribute& a) { return a.connectable; });
}
bool MFnAttribute::isStorable(MStatus* s) const {
    return readFlag(object_, s, [](const Attribute& a) { return a.storable; });
}
bool MFnAttribute::isHidden(MStatus* s) const {
    return readFlag(object_, s, [](const Attribute& a) { return a.hidden; });
}
bool MFnAttribute::isKeyable(MStatus* s) const {
    return readFlag(object_, s, [](const Attribute& a) { return a.keyable; });
}
bool MFnAttribute::isArray(MStatus* s) const {
    return readFlag(object_, s, [](const Attribute& a) { return a.array; });
}
bool MFnAttribute::isDynamic(MStatus* s) const {
    return readFlag(object_, s, [](const Attribute& a) { return a.dynamic; });
}
bool MFnAttribute::isUsedAsFilename(MStatus* s) const {
    return readFlag(object_, s, [](const Attribute& a) { return a.usedAsFilename; });
}
bool MFnAttribute::isChannelBoxFlagSet(MStatus* s) const {
    return readFlag(object_, s, [](const Attribute& a) { return a.channelBox; });
}
bool MFnAttribute::isCached(MStatus* s) const {
    return readFlag(object_, s, [](const Attribute& a) { return a.cached; });
}
bool MFnAttribute::indexMatters(MStatus* s) const {
    return readFlag(object_, s, [](const Attribute& a) { return a.indexMatters; });
}
MFnAttribute::DisconnectBehavior MFnAttribute::disconnectBehavior(MStatus* s) const {
    const auto attribute = hostCast<Attribute>(object_);
    if (s) *s = attribute ? MStatus::kSuccess : MStatus::kFailure;
    return attribute ? attribute->disconnectBehavior : kNothing;
}

MStatus MFnAttribute::setReadable(bool v) {
    return writeFlag(object_, [v](Attribute& a) { a.readable = v; });
}
MStatus MFnAttribute::setWritable(bool v) {
    return writeFlag(object_, [v](Attribute& a) { a.writable = v; });
}
MStatus MFnAttribute::setConnectable(bool v) {
    return writeFlag(object_, [v](Attribute& a) { a.connectable = v; });
}
MStatus MFnAttribute::setStorable(bool v) {
    return writeFlag(object_, [v](Attribute& a) { a.storable = v; });
}
MStatus MFnAttribute::setHidden(bool v) {
    return writeFlag(object_, [v](Attribute& a) { a.hidden = v; });
}
MStatus MFnAttribute::setKeyable(bool v) {
    return writeFlag(object_, [v](Attribute& a) { a.keyable = v; });
}
MStatus MFnAttribute::setArray(bool v) {
    return writeFlag(object_, [v](Attribute& a) { a.array = v; });
}
MStatus MFnAttribute::setUsedAsFilename(bool v) {
    return writeFlag(object_, [v](Attribute& a) { a.usedAsFilename = v; });
}
MStatus MFnAttribute::setChannelBox(bool v) {
    return writeFlag(object_, [v](Attribute& a) { a.channelBox = v; });
}
MStatus MFnAttribute::setCached(bool v) {
    return writeFlag(object_, [v](Attribute& a) { a.cached = v; });
}
MStatus MFnAttribute::setIndexMatters(bool v) {
    return writeFlag(object_, [v](Attribute& a) { a.indexMatters = v; });
}
MStatus MFnAttribute::setDisconnectBehavior(DisconnectBehavior v) {
    return writeFlag(object_, [v](Attribute& a) { a.disconnectBehavior = v; });
}
MStatus MFnAttribute::setAffectsAppearance(bool) {
    return writeFlag(object_, [](Attribute&) {});
}

MString MFnAttribute::name(MStatus* s) const {
    return MString(readFlag(object_, s, [](const Attribute& a) { return a.longName; }).c_str());
}
MString MFnAttribute::shortName(MStatus* s) const {
    return MString(readFlag(object_, s, [](const Attribute& a) { return a.shortName; }).c_str());
}
MObject MFnAttribute::parent(MStatus* s) const {
    const auto attribute = hostCast<Attribute>(object_);
    const auto owner = attribute ? attribute->parentAttribute() : nullptr;
    if (s) *s = owner ? MStatus::kSuccess : MStatus::kFailure;
    return owner ? wrap(owner) : MObject();
}
