#pragma once
// Headless host: Maya's MTypes.h (the parts plug-ins use).

#include <cstddef>

#include <maya/MApiNamespace.h>

#ifndef MAYA_API_VERSION
#define MAYA_API_VERSION 20180700
#endif

// As Maya's: the hooks keep their C++ names (Maya looks up initializePlugin(MObject) and
// uninitializePlugin(MObject), as MFnPlugin.h declares them).
#if defined(_WIN32)
#define PLUGIN_EXPORT __declspec(dllexport)
#else
#define PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

// Global, as Maya's.
typedef void* (*MCreatorFunction)();
typedef MStatus (*MInitializeFunction)();

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Coordinate spaces for transformation queries.
class MSpace {
  public:
    enum Space {
        kInvalid,
        kTransform,
        kPreTransform,
        kPostTransform,
        kWorld,
        kLast,
        kObject = kPreTransform
    };
};

OPENMAYA_NAMESPACE_CLOSE
