#pragma once
// Headless host: Maya's MFnStringArrayData.

#include <maya/MFnData.h>
#include <maya/MStringArray.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MFnStringArrayData : public MFnData {
  public:
    declareMFn(MFnStringArrayData, MFnData);
    declareMFnConstConstructor(MFnStringArrayData, MFnData);
    MObject create(const MStringArray& items, MStatus* returnStatus = nullptr);
    MObject create(MStatus* returnStatus = nullptr);
    MStringArray array(MStatus* returnStatus = nullptr);
    unsigned int length(MStatus* returnStatus = nullptr) const;
    MStatus set(const MStringArray& items);
};

OPENMAYA_NAMESPACE_CLOSE
