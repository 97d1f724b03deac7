#pragma once
// Headless host: Maya's MFnBase, the base of every function set.

#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MFnBase {
  public:
    virtual ~MFnBase() = default;

    virtual MFn::Type type() const { return MFn::kBase; }
    bool hasObj(MFn::Type type) const { return object_.hasFn(type); }
    bool hasObj(const MObject& object) const;
    MObject object(MStatus* returnStatus = nullptr) const;
    virtual MStatus setObject(const MObject& object);

  protected:
    MFnBase() = default;

    MObject object_;

  private:
    // The function set's required API type; objects without it are refused.
    virtual MFn::Type requiredType() const { return MFn::kBase; }
};

OPENMAYA_NAMESPACE_CLOSE
