#pragma once
// "saveMocapData <device node> <clip path> <seconds> [<video path>]": keeps the last stretch of a
// live device node's recording as a clip file, written on a thread of its own.

#include <maya/MArgList.h>
#include <maya/MStatus.h>

#include "plugin/messages/PluginClassBases.h"

class saveCaptureData : public PluginCommand<saveCaptureData> {
  public:
    static const char* const commandName;  // "saveMocapData"

    MStatus doIt(const MArgList& args) override;
};
