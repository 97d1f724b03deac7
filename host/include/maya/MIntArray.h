#pragma once
// Headless host: Maya's MIntArray.

#include <vector>

#include <maya/MStatus.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MIntArray {
  public:
    MIntArray() = default;
    MIntArray(unsigned int count, int initial = 0) : items_(count, initial) {}

    int operator[](unsigned int index) const { return items_[index]; }
    int& operator[](unsigned int index) { return items_[index]; }
    unsigned int length() const { return static_cast<unsigned int>(items_.size()); }
    MStatus setLength(unsigned int length) {
        items_.resize(length);
        return MStatus::kSuccess;
    }
    MStatus append(int item) {
        items_.push_back(item);
        return MStatus::kSuccess;
    }
    MStatus clear() {
        items_.clear();
        return MStatus::kSuccess;
    }

  private:
    std::vector<int> items_;
};

OPENMAYA_NAMESPACE_CLOSE
