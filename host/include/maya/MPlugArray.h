#pragma once
// Headless host: Maya's MPlugArray.

#include <maya/MPlug.h>

#include <headless/detail/MayaArray.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MPlugArray : public headless::detail::MayaArray<MPlug, const MPlug&> {
  public:
    MPlugArray() = default;
    MPlugArray(unsigned int count, const MPlug& initial) : MayaArray(count, initial) {}
};

OPENMAYA_NAMESPACE_CLOSE
