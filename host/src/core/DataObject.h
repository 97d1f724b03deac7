#pragma once
// A data object (MFnStringData, MFnStringArrayData) as MObject hands it around.

#include "core/HostAccess.h"
#include "core/HostObject.h"
#include "core/Value.h"

namespace headless::detail {

class DataObject : public HostObject {
  public:
    DataObject(MFn::Type type, Value value) : type_(type), value(std::move(value)) {}

    MFn::Type apiType() const override { return type_; }
    bool hasFn(MFn::Type type) const override {
        return type == MFn::kBase || type == MFn::kData || type == type_;
    }

  private:
    MFn::Type type_;

  public:
    Value value;
};

}  // namespace headless::detail
