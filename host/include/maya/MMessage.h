#pragma once
// Headless host: Maya's MMessage, the base of the callback classes.

#include <cstdint>

#include <maya/MStatus.h>

using MCallbackId = std::uintptr_t;

class MCallbackIdArray;

class MMessage {
public:
    using MBasicFunction = void (*)(void* clientData);

    static MStatus removeCallback(MCallbackId id);
};
