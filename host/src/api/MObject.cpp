#include <maya/MObject.h>

#include "core/HostObject.h"

const MObject MObject::kNullObj;

MFn::Type MObject::apiType() const {
    return object_ ? object_->apiType() : MFn::kInvalid;
}

bool MObject::hasFn(MFn::Type type) const {
    return object_ && object_->hasFn(type);
}

const char* MObject::apiTypeStr() const {
    switch (apiType()) {
        case MFn::kInvalid:
            return "kInvalid";
        case MFn::kTransform:
            return "kTransform";
        case MFn::kTime:
            return "kTime";
        case MFn::kNumericAttribute:
            return "kNumericAttribute";
        case MFn::kCompoundAttribute:
            return "kCompoundAttribute";
        case MFn::kTypedAttribute:
            return "kTypedAttribute";
        case MFn::kMessageAttribute:
            return "kMessageAttribute";
        case MFn::kUnitAttribute:
            return "kUnitAttribute";
        case MFn::kStringData:
            return "kStringData";
        case MFn::kStringArrayData:
            return "kStringArrayData";
        case MFn::kPluginDependNode:
            return "kPluginDependNode";
        case MFn::kPluginObjectSet:
            return "kPluginObjectSet";
        case MFn::kPluginThreadedDevice:
            return "kPluginThreadedDevice";
        default:
            return "kBase";
    }
}
