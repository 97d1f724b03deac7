#pragma once
// The host's objects behind MObject handles: nodes, attributes, data and plug-ins.

#include <memory>

#include <maya/MFn.h>

namespace headless::detail {

class HostObject : public std::enable_shared_from_this<HostObject> {
  public:
    HostObject() = default;
    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;
    virtual ~HostObject() = default;

    virtual MFn::Type apiType() const = 0;
    virtual bool hasFn(MFn::Type type) const { return type == MFn::kBase || type == apiType(); }
};

}  // namespace headless::detail
