#pragma once
// Headless host: Maya's MSyntax, as far as command registration refers to it. The runner hands
// every command its words through MArgList.

class MSyntax {
public:
    enum MArgType { kInvalidArgType, kNoArg, kBoolean, kLong, kDouble, kString, kUnsigned, kDistance,
                    kAngle, kTime, kSelectionItem, kLastArgType };
    MSyntax() = default;
};

using MCreateSyntaxFunction = MSyntax (*)();
