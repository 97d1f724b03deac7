#include "core/BaseAttributes.h"

#include "core/Attribute.h"

namespace headless::detail {

MObject baseNumeric(const std::string& longName, const std::string& shortName,
                    MFnNumericData::Type type, double defaultValue) {
    auto attribute = makeAttribute(AttributeKind::Numeric, longName, shortName);
    attribute->numericType = type;
    attribute->defaultValue = attribute->normalized(defaultValue);
    attribute->inUse = true;
    return wrap(attribute);
}

MObject baseMessage(const std::string& longName, const std::string& shortName) {
    auto attribute = makeAttribute(AttributeKind::Message, longName, shortName);
    attribute->inUse = true;
    return wrap(attribute);
}

MObject baseMemberArray(const std::string& longName, const std::string& shortName) {
    auto attribute = makeAttribute(AttributeKind::Message, longName, shortName);
    attribute->array = true;
    attribute->indexMatters = false;
    attribute->disconnectBehavior = MFnAttribute::kDelete;
    attribute->inUse = true;
    return wrap(attribute);
}

MObject baseTyped(const std::string& longName, const std::string& shortName, MFnData::Type type) {
    auto attribute = makeAttribute(AttributeKind::Typed, longName, shortName);
    attribute->dataType = type;
    attribute->inUse = true;
    return wrap(attribute);
}

}  // namespace headless::detail
