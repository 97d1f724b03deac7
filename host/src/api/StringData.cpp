#include <maya/MFnStringArrayData.h>
#include <maya/MFnStringData.h>

#include "api/FunctionSetDefinition.h"
#include "core/DataObject.h"

using namespace headless::detail;

namespace {

MStringArray toArray(const std::vector<std::string>& texts) {
    MStringArray array;
    for (const auto& text : texts) array.append(MString(text.c_str()));
    return array;
}

std::vector<std::string> fromArray(const MStringArray& array) {
    std::vector<std::string> texts;
    for (unsigned int i = 0; i < array.length(); ++i) texts.emplace_back(array[i].asChar());
    return texts;
}

}  // namespace

implementMFn(MFnStringData, kStringData);

MObject MFnStringData::create(const MString& text, MStatus* returnStatus) {
    MObject object =
        wrap(std::make_shared<DataObject>(MFn::kStringData, Value{std::string(text.asChar())}));
    setObject(object);
    if (returnStatus) *returnStatus = MStatus::kSuccess;
    return object;
}

MObject MFnStringData::create(MStatus* returnStatus) {
    return create(MString(), returnStatus);
}

MString MFnStringData::string(MStatus* returnStatus) const {
    const auto data = hostCast<DataObject>(object_);
    if (returnStatus) *returnStatus = data ? MStatus::kSuccess : MStatus::kFailure;
    return data ? MString(asText(data->value).c_str()) : MString();
}

MStatus MFnStringData::set(const MString& text) {
    const auto data = hostCast<DataObject>(object_);
    if (!data) return MStatus::kFailure;
    data->value = std::string(text.asChar());
    return MStatus::kSuccess;
}

implementMFn(MFnStringArrayData, kStringArrayData);

MObject MFnStringArrayData::create(const MStringArray& items, MStatus* returnStatus) {
    MObject object =
        wrap(std::make_shared<DataObject>(MFn::kStringArrayData, Value{fromArray(items)}));
    setObject(object);
    if (returnStatus) *returnStatus = MStatus::kSuccess;
    return object;
}

MObject MFnStringArrayData::create(MStatus* returnStatus) {
    return create(MStringArray(), returnStatus);
}

MStringArray MFnStringArrayData::array(MStatus* returnStatus) {
    const auto data = hostCast<DataObject>(object_);
    if (returnStatus) *returnStatus = data ? MStatus::kSuccess : MStatus::kFailure;
    return data ? toArray(asTexts(data->value)) : MStringArray();
}

unsigned int MFnStringArrayData::length(MStatus* returnStatus) const {
    const auto data = hostCast<DataObject>(object_);
    if (returnStatus) *returnStatus = data ? MStatus::kSuccess : MStatus::kFailure;
    return data ? static_cast<unsigned int>(asTexts(data->value).size()) : 0u;
}

MStatus MFnStringArrayData::set(const MStringArray& items) {
    const auto data = hostCast<DataObject>(object_);
    if (!data) return MStatus::kFailure;
    data->value = fromArray(items);
    return MStatus::kSuccess;
}
