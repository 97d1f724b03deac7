#pragma once
// Headless host: Maya's MStringArray.

#include <vector>

#include <maya/MString.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MStringArray {
  public:
    MStringArray() = default;
    MStringArray(unsigned int count, const MString& initial) : items_(count, initial) {}

    const MString& operator[](unsigned int index) const { return items_[index]; }
    MString& operator[](unsigned int index) { return items_[index]; }
    unsigned int length() const { return static_cast<unsigned int>(items_.size()); }
    MStatus setLength(unsigned int length) {
        items_.resize(length);
        return MStatus::kSuccess;
    }
    MStatus append(const MString& item) {
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
    std::vector<MString> items_;
};

OPENMAYA_NAMESPACE_CLOSE
