#include <maya/MFnBase.h>

bool MFnBase::hasObj(const MObject& object) const {
    return object.hasFn(type());
}

MObject MFnBase::object(MStatus* returnStatus) const {
    if (returnStatus) *returnStatus = object_.isNull() ? MStatus::kFailure : MStatus::kSuccess;
    return object_;
}

MStatus MFnBase::setObject(const MObject& object) {
    if (!object.hasFn(type())) {
        object_ = MObject();
        return MStatus::kInvalidParameter;
    }
    object_ = object;
    return MStatus::kSuccess;
}
