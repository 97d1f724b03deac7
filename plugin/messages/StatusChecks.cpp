#include "plugin/messages/StatusChecks.h"

#include <maya/MGlobal.h>
#include <maya/MString.h>

#include <cstring>

MStatus reportIfFailed(const MStatus& status, const char* what, const char* file) {
    if (status) return status;
    // The file's own name is enough to find the call; the folders are the build machine's.
    const char* name = file;
    for (const char* at = file; *at; ++at)
        if (*at == '/' || *at == '\\') name = at + 1;
    MGlobal::displayError(MString("lumoraMocap: ") + name + ": " + what +
                          " failed: " + status.errorString());
    return status;
}
