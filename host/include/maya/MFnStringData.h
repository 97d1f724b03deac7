#pragma once
// Headless host: Maya's MFnStringData.

#include <maya/MFnData.h>
#include <maya/MString.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MFnStringData : public MFnData {
  public:
    declareMFn(MFnStringData, MFnData);
    declareMFnConstConstructor(MFnStringData, MFnData);
    MObject create(const MString& text, MStatus* returnStatus = nullptr);
    MObject create(MStatus* returnStatus = nullptr);
    MString string(MStatus* returnStatus = nullptr) const;
    MStatus set(const MString& text);
};

OPENMAYA_NAMESPACE_CLOSE
