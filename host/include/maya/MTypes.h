#pragma once
// Headless host: Maya's MTypes.h (the parts plug-ins use).

#include <cstddef>

#ifndef MAYA_API_VERSION
#define MAYA_API_VERSION 20180700
#endif

#if defined(_WIN32)
#define PLUGIN_EXPORT extern "C" __declspec(dllexport)
#else
#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

class MStatus;
class MString;
class MObject;
class MPlug;
class MDataBlock;
class MDataHandle;

using MCreatorFunction = void* (*)();
using MInitializeFunction = MStatus (*)();

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
