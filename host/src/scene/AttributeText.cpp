#include "scene/AttributeText.h"

#include <utility>

#include "scene/SceneText.h"

namespace headless::detail {

namespace {

template <typename Enum>
using NameTable = std::vector<std::pair<Enum, const char*>>;

const NameTable<AttributeKind>& kindNames() {
    static const NameTable<AttributeKind> table{{AttributeKind::Numeric, "numeric"},
                                                {AttributeKind::Unit, "unit"},
                                                {AttributeKind::Typed, "typed"},
                                                {AttributeKind::Compound, "compound"},
                                                {AttributeKind::Message, "message"}};
    return table;
}

const NameTable<MFnNumericData::Type>& numericNames() {
    using N = MFnNumericData;
    static const NameTable<N::Type> table{
        {N::kBoolean, "bool"},    {N::kByte, "byte"},       {N::kChar, "char"},
        {N::kShort, "short"},     {N::k2Short, "short2"},   {N::k3Short, "short3"},
        {N::kLong, "long"},       {N::k2Long, "long2"},     {N::k3Long, "long3"},
        {N::kInt64, "int64"},     {N::kFloat, "float"},     {N::k2Float, "float2"},
        {N::k3Float, "float3"},   {N::kDouble, "double"},   {N::k2Double, "double2"},
        {N::k3Double, "double3"}, {N::k4Double, "double4"}, {N::kAddr, "addr"},
        {N::kInvalid, "invalid"}};
    return table;
}

const NameTable<MFnUnitAttribute::Type>& unitNames() {
    using U = MFnUnitAttribute;
    static const NameTable<U::Type> table{{U::kAngle, "angle"},
                                          {U::kDistance, "distance"},
                                          {U::kTime, "time"},
                                          {U::kInvalid, "invalid"}};
    return table;
}

const NameTable<MFnData::Type>& dataNames() {
    using D = MFnData;
    static const NameTable<D::Type> table{{D::kString, "string"},
                                          {D::kStringArray, "stringArray"},
                                          {D::kNumeric, "numeric"},
                                          {D::kPlugin, "plugin"},
                                          {D::kPluginGeometry, "pluginGeometry"},
                                          {D::kMatrix, "matrix"},
                                          {D::kDoubleArray, "doubleArray"},
                                          {D::kFloatArray, "floatArray"},
                                          {D::kIntArray, "intArray"},
                                          {D::kPointArray, "pointArray"},
                                          {D::kVectorArray, "vectorArray"},
                                          {D::kMatrixArray, "matrixArray"},
                                          {D::kComponentList, "componentList"},
                                          {D::kMesh, "mesh"},
                                          {D::kLattice, "lattice"},
                                          {D::kNurbsCurve, "nurbsCurve"},
                                          {D::kNurbsSurface, "nurbsSurface"},
                                          {D::kSphere, "sphere"},
                                          {D::kDynArrayAttrs, "dynArrayAttrs"},
                                          {D::kDynSweptGeometry, "dynSweptGeometry"},
                                          {D::kSubdSurface, "subdSurface"},
                                          {D::kNObject, "nObject"},
                                          {D::kNId, "nId"},
                                          {D::kAny, "any"},
                                          {D::kInvalid, "invalid"}};
    return table;
}

const NameTable<MFnAttribute::DisconnectBehavior>& disconnectNames() {
    static const NameTable<MFnAttribute::DisconnectBehavior> table{
        {MFnAttribute::kNothing, "nothing"},
        {MFnAttribute::kDelete, "delete"},
        {MFnAttribute::kReset, "reset"}};
    return table;
}

template <typename Enum>
const char* nameOf(const NameTable<Enum>& table, Enum value) {
    for (const auto& [entry, name] : table) {
        if (entry == value) return name;
    }
    return "invalid";
}

template <typename Enum>
bool valueOf(const NameTable<Enum>& table, const std::string& name, Enum& value) {
    for (const auto& [entry, entryName] : table) {
        if (name == entryName) {
            value = entry;
            return true;
        }
    }
    return false;
}

std::string typeWord(const Attribute& a) {
    switch (a.kind) {
        case AttributeKind::Numeric:
            return nameOf(numericNames(), a.numericType);
        case AttributeKind::Unit:
            return nameOf(unitNames(), a.unitType);
        case AttributeKind::Typed:
            return nameOf(dataNames(), a.dataType);
        default:
            return "-";
    }
}

bool readType(Attribute& a, const std::string& word) {
    switch (a.kind) {
        case AttributeKind::Numeric:
            return valueOf(numericNames(), word, a.numericType);
        case AttributeKind::Unit:
            return valueOf(unitNames(), word, a.unitType);
        case AttributeKind::Typed:
            return valueOf(dataNames(), word, a.dataType);
        default:
            return word == "-";
    }
}

// The boolean flags, by the key each is written under.
std::vector<std::pair<const char*, bool Attribute::*>> flagMembers() {
    return {{"readable", &Attribute::readable},
            {"writable", &Attribute::writable},
            {"connectable", &Attribute::connectable},
            {"storable", &Attribute::storable},
            {"hidden", &Attribute::hidden},
            {"keyable", &Attribute::keyable},
            {"array", &Attribute::array},
            {"indexMatters", &Attribute::indexMatters},
            {"usedAsFilename", &Attribute::usedAsFilename},
            {"channelBox", &Attribute::channelBox},
            {"cached", &Attribute::cached}};
}

}  // namespace

bool valueSuits(const Attribute& a, const Value& value) {
    if (std::holds_alternative<std::monostate>(value)) return true;
    if (a.isNumber()) return std::holds_alternative<double>(value);
    if (a.kind == AttributeKind::Typed) {
        return std::holds_alternative<std::string>(value)
                   ? a.dataType == MFnData::kString
                   : std::holds_alternative<std::vector<std::string>>(value) &&
                         a.dataType == MFnData::kStringArray;
    }
    return false;
}

std::string formatAttributeDefinition(const Attribute& a) {
    const auto parent = a.parentAttribute();
    std::string words = quoteText(parent ? parent->longName : std::string()) + " " +
                        quoteText(a.longName) + " " + quoteText(a.shortName) + " " +
                        nameOf(kindNames(), a.kind) + " " + typeWord(a);
    for (const auto& [key, member] : flagMembers())
        words += std::string(" ") + key + (a.*member ? " 1" : " 0");
    words += std::string(" disconnect ") + nameOf(disconnectNames(), a.disconnectBehavior);
    if (a.minimum) words += " min " + formatExact(*a.minimum);
    if (a.maximum) words += " max " + formatExact(*a.maximum);
    words += " default " + formatValue(a.defaultValue);
    return words;
}

std::shared_ptr<Attribute> parseAttributeDefinition(const std::vector<std::string>& words,
                                                    std::size_t at, std::string& parentName,
                                                    std::string* error) {
    if (words.size() < at + 5) {
        *error = "an attribute needs a parent, two names, a kind and a type";
        return nullptr;
    }
    parentName = words[at];
    AttributeKind kind = AttributeKind::Numeric;
    if (!valueOf(kindNames(), words[at + 3], kind)) {
        *error = "unknown attribute kind '" + words[at + 3] + "'";
        return nullptr;
    }
    if (!isValidAttributeName(words[at + 1]) ||
        (!words[at + 2].empty() && !isValidAttributeName(words[at + 2]))) {
        *error = "an attribute has no name or one that is not a valid attribute name";
        return nullptr;
    }
    auto attribute = makeAttribute(kind, words[at + 1], words[at + 2]);
    if (!readType(*attribute, words[at + 4])) {
        *error = "unknown type '" + words[at + 4] + "' for a " + words[at + 3] + " attribute";
        return nullptr;
    }
    const auto flags = flagMembers();
    for (at += 5; at < words.size();) {
        const std::string key = words[at++];
        if (key == "default") {
            if (!parseValue(words, at, attribute->defaultValue, error)) return nullptr;
            if (!valueSuits(*attribute, attribute->defaultValue)) {
                *error = "the default does not suit the attribute '" + attribute->longName + "'";
                return nullptr;
            }
            continue;
        }
        if (at >= words.size()) {
            *error = "'" + key + "' lacks its value";
            return nullptr;
        }
        const std::string& word = words[at++];
        if (key == "disconnect") {
            if (!valueOf(disconnectNames(), word, attribute->disconnectBehavior)) {
                *error = "unknown disconnect behaviour '" + word + "'";
                return nullptr;
            }
            continue;
        }
        if (key == "min" || key == "max") {
            double limit = 0.0;
            if (!parseExact(word, limit)) {
                *error = "'" + word + "' is not a number";
                return nullptr;
            }
            (key == "min" ? attribute->minimum : attribute->maximum) = limit;
            continue;
        }
        bool known = false;
        for (const auto& [flag, member] : flags) {
            if (key != flag) continue;
            if (word != "0" && word != "1") {
                *error = "the flag '" + key + "' takes 0 or 1";
                return nullptr;
            }
            (*attribute).*member = word == "1";
            known = true;
        }
        if (!known) {
            *error = "unknown attribute setting '" + key + "'";
            return nullptr;
        }
    }
    return attribute;
}

}  // namespace headless::detail
