#pragma once
// Headless host: Maya's MTypeId, a node type's 32-bit identifier.

#include <maya/MStatus.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MTypeId {
  public:
    MTypeId() = default;
    MTypeId(unsigned int id) : id_(id) {}
    MTypeId(unsigned int prefix, unsigned int id) : id_((prefix << 8) | (id & 0xffu)) {}

    unsigned int id(MStatus* returnStatus = nullptr) const {
        if (returnStatus) *returnStatus = MStatus::kSuccess;
        return id_;
    }
    bool operator==(const MTypeId& other) const { return id_ == other.id_; }
    bool operator!=(const MTypeId& other) const { return id_ != other.id_; }

  private:
    unsigned int id_ = 0;
};

OPENMAYA_NAMESPACE_CLOSE
