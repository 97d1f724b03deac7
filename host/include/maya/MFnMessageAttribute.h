#pragma once
// Headless host: Maya's MFnMessageAttribute.

#include <maya/MFnAttribute.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MFnMessageAttribute : public MFnAttribute {
  public:
    declareMFn(MFnMessageAttribute, MFnAttribute);
    declareMFnConstConstructor(MFnMessageAttribute, MFnAttribute);

    MObject create(const MString& fullName, const MString& briefName,
                   MStatus* returnStatus = nullptr);
};

OPENMAYA_NAMESPACE_CLOSE
