#pragma once
// Headless host: Maya's MFnStringData.

#include <maya/MFnData.h>
#include <maya/MString.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MFnStringData : public MFnData {
  public:
    MFnStringData() = default;
    explicit MFnStringData(const MObject& object, MStatus* returnStatus = nullptr);

    MFn::Type type() const override { return MFn::kStringData; }
    MObject create(const MString& text, MStatus* returnStatus = nullptr);
    MObject create(MStatus* returnStatus = nullptr);
    MString string(MStatus* returnStatus = nullptr) const;
    MStatus set(const MString& text);

  private:
    MFn::Type requiredType() const override { return MFn::kStringData; }
};

OPENMAYA_NAMESPACE_CLOSE
