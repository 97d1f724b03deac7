#pragma once
// Headless host: Maya's MMessage, the base of the callback classes.

#include <cstdint>

#include <maya/MObject.h>
#include <maya/MStatus.h>

// Global, as Maya's.
typedef std::uintptr_t MCallbackId;

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MCallbackIdArray;

class MMessage {
  public:
    using MBasicFunction = void (*)(void* clientData);
    using MNodeFunction = void (*)(MObject& node, void* clientData);

    static MStatus removeCallback(MCallbackId id);
};

OPENMAYA_NAMESPACE_CLOSE
