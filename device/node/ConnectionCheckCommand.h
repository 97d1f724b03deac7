#pragma once
// checkPhoneConnection DEVICE: runs the steps of connecting the device node to its phone one by
// one, without starting a capture, shows one line per step and returns them as a string array.

#include <maya/MArgList.h>
#include <maya/MStatus.h>

#include "plugin/messages/PluginClassBases.h"

class checkPhoneConnection : public PluginCommand<checkPhoneConnection> {
  public:
    static const char* const commandName;  // "checkPhoneConnection"

    MStatus doIt(const MArgList& args) override;
};
