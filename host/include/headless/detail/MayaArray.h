#pragma once
// The storage and element access that Maya's array classes (MIntArray, MObjectArray,
// MPlugArray, MStringArray) share. Each class derives from it and declares its own
// constructors; Value is how the class takes elements and hands them out from a const array,
// as Maya declares it (int by value, the others by const reference).

#include <vector>

#include <maya/MStatus.h>

namespace headless::detail {

template <class T, class Value>
class MayaArray {
  public:
    Value operator[](unsigned int index) const { return items_[index]; }
    T& operator[](unsigned int index) { return items_[index]; }
    unsigned int length() const { return static_cast<unsigned int>(items_.size()); }
    MStatus setLength(unsigned int length) {
        items_.resize(length);
        return MStatus::kSuccess;
    }
    MStatus append(Value element) {
        items_.push_back(element);
        return MStatus::kSuccess;
    }
    MStatus insert(Value element, unsigned int index) {
        if (index > items_.size()) return MStatus::kInvalidParameter;
        items_.insert(items_.begin() + index, element);
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

  protected:
    MayaArray() = default;
    MayaArray(unsigned int count, Value initial) : items_(count, initial) {}

  private:
    std::vector<T> items_;
};

}  // namespace headless::detail
