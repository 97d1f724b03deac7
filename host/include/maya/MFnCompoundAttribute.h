#pragma once
// Headless host: Maya's MFnCompoundAttribute.

#include <maya/MFnAttribute.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MFnCompoundAttribute : public MFnAttribute {
  public:
    MFnCompoundAttribute() = default;
    explicit MFnCompoundAttribute(const MObject& object, MStatus* returnStatus = nullptr);

    MFn::Type type() const override { return MFn::kCompoundAttribute; }

    MObject create(const MString& fullName, const MString& briefName,
                   MStatus* returnStatus = nullptr);
    MStatus addChild(const MObject& child);
    MStatus removeChild(const MObject& child);
    unsigned int numChildren(MStatus* returnStatus = nullptr) const;
    MObject child(unsigned int index, MStatus* returnStatus = nullptr) const;

  private:
    MFn::Type requiredType() const override { return MFn::kCompoundAttribute; }
};

OPENMAYA_NAMESPACE_CLOSE
