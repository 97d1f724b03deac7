#pragma once
// Headless host: Maya's MDGContext, the context of an evaluation: normal (the current time) or
// at a given time.

#include <maya/MStatus.h>
#include <maya/MTime.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MDGContext {
  public:
    MDGContext() = default;
    explicit MDGContext(const MTime& when) : normal_(false), time_(when) {}
    MDGContext(const MDGContext&) = default;
    MDGContext& operator=(const MDGContext&) = default;
    virtual ~MDGContext() = default;

    bool isNormal(MStatus* returnStatus = nullptr) const;
    MStatus getTime(MTime& when) const;

    static MDGContext fsNormal;

  private:
    bool normal_ = true;
    MTime time_{0.0, MTime::kSeconds};
};

OPENMAYA_NAMESPACE_CLOSE
