#pragma once
// Headless host: Maya's MFnMessageAttribute.

#include <maya/MFnAttribute.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MFnMessageAttribute : public MFnAttribute {
  public:
    MFnMessageAttribute() = default;
    explicit MFnMessageAttribute(const MObject& object, MStatus* returnStatus = nullptr);

    MFn::Type type() const override { return MFn::kMessageAttribute; }

    MObject create(const MString& fullName, const MString& briefName,
                   MStatus* returnStatus = nullptr);

  private:
    MFn::Type requiredType() const override { return MFn::kMessageAttribute; }
};

OPENMAYA_NAMESPACE_CLOSE
