#pragma once
// Headless host: Maya's MFnStringArrayData.

#include <maya/MFnData.h>
#include <maya/MStringArray.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MFnStringArrayData : public MFnData {
  public:
    MFnStringArrayData() = default;
    explicit MFnStringArrayData(const MObject& object, MStatus* returnStatus = nullptr);

    MFn::Type type() const override { return MFn::kStringArrayData; }
    MObject create(const MStringArray& items, MStatus* returnStatus = nullptr);
    MObject create(MStatus* returnStatus = nullptr);
    MStringArray array(MStatus* returnStatus = nullptr);
    unsigned int length(MStatus* returnStatus = nullptr) const;
    MStatus set(const MStringArray& items);

  private:
    MFn::Type requiredType() const override { return MFn::kStringArrayData; }
};

OPENMAYA_NAMESPACE_CLOSE
