#pragma once
// Headless host: Maya's MApiVersion.h. Included by MFnPlugin.h, it defines the exported
// MApiVersion, the API version the plug-in was built against, unless MNoVersionString is defined
// first: a plug-in whose several source files include MFnPlugin.h defines MNoVersionString in all
// of them but one.

#include <maya/MTypes.h>

#ifndef MNoVersionString

#define LMRA_HOST_VERSION_STRING1(version) LMRA_HOST_VERSION_STRING2(version)
// Exported data with C linkage, as Maya's; the host builds on Linux only.
#define LMRA_HOST_VERSION_STRING2(version) \
    __attribute__((visibility("default"))) char MApiVersion[] = #version

extern "C" {
LMRA_HOST_VERSION_STRING1(MAYA_API_VERSION);
}

#undef LMRA_HOST_VERSION_STRING1
#undef LMRA_HOST_VERSION_STRING2

#endif  // MNoVersionString
