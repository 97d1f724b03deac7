#pragma once
// Headless host: Maya's MFnTypedAttribute.

#include <maya/MFnAttribute.h>
#include <maya/MFnData.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MFnTypedAttribute : public MFnAttribute {
  public:
    declareMFn(MFnTypedAttribute, MFnAttribute);
    declareMFnConstConstructor(MFnTypedAttribute, MFnAttribute);

    MObject create(const MString& fullName, const MString& briefName, MFnData::Type type,
                   MObject defaultData = MObject::kNullObj, MStatus* returnStatus = nullptr);
    MFnData::Type attrType(MStatus* returnStatus = nullptr) const;
    MStatus setDefault(const MObject& defaultData);
};

OPENMAYA_NAMESPACE_CLOSE
