#pragma once
// Headless host: Maya's MStringArray.

#include <maya/MString.h>

#include <headless/detail/MayaArray.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MStringArray : public headless::detail::MayaArray<MString, const MString&> {
  public:
    MStringArray() = default;
    MStringArray(unsigned int count, const MString& initial) : MayaArray(count, initial) {}
};

OPENMAYA_NAMESPACE_CLOSE
