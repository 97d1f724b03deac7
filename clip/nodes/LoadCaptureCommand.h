#pragma once
// "loadClipFromFile <clip reader node> <clip path>": loads a clip file into a LMRAClipReader.
// Its result is true when the clip was loaded.

#include <maya/MArgList.h>
#include <maya/MStatus.h>

#include "plugin/messages/PluginClassBases.h"

class LoadCaptureCommand : public PluginCommand<LoadCaptureCommand> {
  public:
    static const char* const commandName;  // "loadClipFromFile"

    MStatus doIt(const MArgList& args) override;
};
