#pragma once
// Headless host: Maya's MPlugArray.

#include <vector>

#include <maya/MPlug.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MPlugArray {
  public:
    MPlugArray() = default;
    MPlugArray(unsigned int count, const MPlug& initial) : items_(count, initial) {}

    const MPlug& operator[](unsigned int index) const { return items_[index]; }
    MPlug& operator[](unsigned int index) { return items_[index]; }
    unsigned int length() const { return static_cast<unsigned int>(items_.size()); }
    MStatus setLength(unsigned int length) {
        items_.resize(length);
        return MStatus::kSuccess;
    }
    MStatus append(const MPlug& item) {
        items_.push_back(item);
        return MStatus::kSuccess;
    }
    MStatus insert(const MPlug& item, unsigned int index) {
        if (index > items_.size()) return MStatus::kInvalidParameter;
        items_.insert(items_.begin() + index, item);
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
    std::vector<MPlug> items_;
};

OPENMAYA_NAMESPACE_CLOSE
