#include "plugin/messages/AttributeCreation.h"

#include <maya/MFnData.h>
#include <maya/MString.h>

namespace lmra {

MStatus createNumeric(MFnNumericAttribute& fn, MObject& attribute, const char* name,
                      MFnNumericData::Type type, double defaultValue) {
    MStatus status;
    attribute = fn.create(name, name, type, defaultValue, &status);
    return status;
}

MStatus createNumeric(MObject& attribute, const char* name, MFnNumericData::Type type,
                      double defaultValue) {
    MFnNumericAttribute fn;
    return createNumeric(fn, attribute, name, type, defaultValue);
}

MStatus createNumericOutput(MFnNumericAttribute& fn, MObject& attribute, const char* name,
                            MFnNumericData::Type type, double defaultValue) {
    MStatus status = createNumeric(fn, attribute, name, type, defaultValue);
    if (!status) return status;
    status = fn.setWritable(false);
    if (!status) return status;
    return fn.setStorable(false);
}

MStatus createCompoundArray(MFnCompoundAttribute& fn, MObject& attribute, const char* name,
                            std::initializer_list<MObject> children) {
    MStatus status;
    attribute = fn.create(name, name, &status);
    if (!status) return status;
    for (const MObject& child : children) {
        status = fn.addChild(child);
        if (!status) return status;
    }
    return fn.setArray(true);
}

MStatus createOrderList(MFnTypedAttribute& fn, MObject& order) {
    MStatus status;
    order = fn.create("order", "order", MFnData::kStringArray, MObject::kNullObj, &status);
    if (!status) return status;
    status = fn.setStorable(true);
    if (!status) return status;
    return fn.setHidden(true);
}

}  // namespace lmra
