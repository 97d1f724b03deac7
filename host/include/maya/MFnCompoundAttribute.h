#pragma once
// Headless host: Maya's MFnCompoundAttribute.

#include <maya/MFnAttribute.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MFnCompoundAttribute : public MFnAttribute {
  public:
    declareMFn(MFnCompoundAttribute, MFnAttribute);
    declareMFnConstConstructor(MFnCompoundAttribute, MFnAttribute);

    MObject create(const MString& fullName, const MString& briefName,
                   MStatus* returnStatus = nullptr);
    MStatus addChild(const MObject& child);
    MStatus removeChild(const MObject& child);
    unsigned int numChildren(MStatus* returnStatus = nullptr) const;
    MObject child(unsigned int index, MStatus* returnStatus = nullptr) const;
};

OPENMAYA_NAMESPACE_CLOSE
