#pragma once
// Headless host: Maya's MSyntax, as far as command registration refers to it. The runner hands
// every command its words through MArgList.

#include <maya/MApiNamespace.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MSyntax {
  public:
    enum MArgType {
        kInvalidArgType,
        kNoArg,
        kBoolean,
        kLong,
        kDouble,
        kString,
        kUnsigned,
        kDistance,
        kAngle,
        kTime,
        kSelectionItem,
        kLastArgType
    };
    MSyntax() = default;
};

OPENMAYA_NAMESPACE_CLOSE

// Global, as Maya's.
typedef MSyntax (*MCreateSyntaxFunction)();
