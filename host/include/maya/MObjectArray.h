#pragma once
// Headless host: Maya's MObjectArray.

#include <vector>

#include <maya/MObject.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MObjectArray {
  public:
    MObjectArray() = default;
    MObjectArray(unsigned int count, const MObject& initial = MObject::kNullObj)
        : items_(count, initial) {}

    const MObject& operator[](unsigned int index) const { return items_[index]; }
    MObject& operator[](unsigned int index) { return items_[index]; }
    unsigned int length() const { return static_cast<unsigned int>(items_.size()); }
    MStatus setLength(unsigned int length) {
        items_.resize(length);
        return MStatus::kSuccess;
    }
    MStatus append(const MObject& item) {
        items_.push_back(item);
        return MStatus::kSuccess;
    }
    MStatus remove(unsigned int index) {
        if (index >= items_.size()) return MStatus::kInvalidParameter;
        items_.erase(items_.begin() + index);
        return MStatus::kSuccess;
    }
    MStatus clear() {
        items_.clear();
        return MStatus::kSuccess;
    }

  private:
    std::vector<MObject> items_;
};

OPENMAYA_NAMESPACE_CLOSE
