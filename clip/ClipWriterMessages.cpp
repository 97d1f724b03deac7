#include "ClipWriterMessages.h"

#include <maya/MGlobal.h>
#include <maya/MString.h>

void reportClipWriterError(const std::string& text) {
    MGlobal::displayError(MString(text.c_str()));
}
