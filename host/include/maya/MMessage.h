#pragma once
// Headless host: Maya's MMessage, the base of the callback classes.

#include <cstdint>

#include <maya/MObject.h>
#include <maya/MStatus.h>

using MCallbackId = std::uintptr_t;

class MCallbackIdArray;

class MMessage {
public:
    using MBasicFunction = void (*)(void* clientData);
    using MNodeFunction = void (*)(MObject& node, void* clientData);

    static MStatus removeCallback(MCallbackId id);
};
