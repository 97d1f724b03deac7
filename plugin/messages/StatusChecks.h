#pragma once
// Maya's status results where the plug-in sets itself up (initializePlugin and the nodes'
// initialize()), checked as the devkit samples check them with CHECK_MSTATUS_AND_RETURN_IT, but
// shown in the Script Editor with what failed: a node type that cannot be set up must never pass
// silently. With Maya working as it should, none of them shows anything.

#include <maya/MStatus.h>

// Shows "lumoraMocap: <file>: <what> failed: <reason>" as an error when status is a failure.
// Returns status.
MStatus reportIfFailed(const MStatus& status, const char* what, const char* file);

// Returns a failed status from the enclosing function after showing it; what names the call.
#define LMRA_CHECK_STATUS(status, what)                                                   \
    do {                                                                                  \
        const MStatus lmraCheckedStatus = (status);                                       \
        if (!lmraCheckedStatus) return reportIfFailed(lmraCheckedStatus, what, __FILE__); \
    } while (0)

// The same for a call that returns its status; the call's text names it.
#define LMRA_CHECK(call) LMRA_CHECK_STATUS(call, #call)
