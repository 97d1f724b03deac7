#pragma once
// Headless host: Maya's MIntArray.

#include <maya/MStatus.h>

#include <headless/detail/MayaArray.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MIntArray : public headless::detail::MayaArray<int, int> {
  public:
    MIntArray() = default;
    MIntArray(unsigned int count, int initial = 0) : MayaArray(count, initial) {}
};

OPENMAYA_NAMESPACE_CLOSE
