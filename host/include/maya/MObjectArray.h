#pragma once
// Headless host: Maya's MObjectArray.

#include <maya/MObject.h>

#include <headless/detail/MayaArray.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MObjectArray : public headless::detail::MayaArray<MObject, const MObject&> {
  public:
    MObjectArray() = default;
    MObjectArray(unsigned int count, const MObject& initial = MObject::kNullObj)
        : MayaArray(count, initial) {}
};

OPENMAYA_NAMESPACE_CLOSE
