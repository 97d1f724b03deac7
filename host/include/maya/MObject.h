#pragma once
// Headless host: Maya's MObject, a handle to a node, an attribute or a data object owned by
// the host.

#include <memory>

#include <maya/MFn.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <headless/detail/HostTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MObject {
  public:
    MObject() = default;
    MObject(const MObject&) = default;
    MObject& operator=(const MObject&) = default;
    ~MObject() = default;

    bool isNull() const { return !object_; }
    MFn::Type apiType() const;
    const char* apiTypeStr() const;
    bool hasFn(MFn::Type type) const;

    bool operator==(const MObject& other) const { return object_ == other.object_; }
    bool operator!=(const MObject& other) const { return object_ != other.object_; }

    static const MObject kNullObj;

  private:
    friend struct headless::detail::HostAccess;
    std::shared_ptr<headless::detail::HostObject> object_;
};

OPENMAYA_NAMESPACE_CLOSE
