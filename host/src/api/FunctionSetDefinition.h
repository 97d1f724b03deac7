#pragma once
// Defines what declareMFn and declareMFnConstConstructor declare for a function set of the given
// MFn type: the type, the destructor, the class name and both constructors, which attach the
// object when it has that type and report whether it did.

#include <maya/MFnBase.h>

#include <type_traits>

namespace headless::detail {

inline void attachOnConstruction(MFnBase& functionSet, const MObject& object,
                                 MStatus* returnStatus) {
    const MStatus status = functionSet.setObject(object);
    if (returnStatus) *returnStatus = status;
}

}  // namespace headless::detail

#define implementMFn(MFnClass, kind)                                         \
    MFn::Type MFnClass::type() const {                                       \
        return MFn::kind;                                                    \
    }                                                                        \
    MFnClass::~MFnClass() = default;                                         \
    const char* MFnClass::className() {                                      \
        return #MFnClass;                                                    \
    }                                                                        \
    MFnClass::MFnClass(MObject& object, MStatus* returnStatus) {             \
        headless::detail::attachOnConstruction(*this, object, returnStatus); \
    }                                                                        \
    MFnClass::MFnClass(const MObject& object, MStatus* returnStatus) {       \
        headless::detail::attachOnConstruction(*this, object, returnStatus); \
    }                                                                        \
    static_assert(std::is_base_of_v<MFnBase, MFnClass>, #MFnClass " is a function set")
