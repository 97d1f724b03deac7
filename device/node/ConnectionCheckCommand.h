#pragma once
// checkPhoneConnection DEVICE: runs the steps of connecting the device node to its phone one by
// one, without starting a capture, shows one line per step and returns them as a string array.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>
#include <maya/MStatus.h>

class checkPhoneConnection : public MPxCommand {
  public:
    static const char* const commandName;  // "checkPhoneConnection"
    static void* creator();

    MStatus doIt(const MArgList& args) override;
    bool isUndoable() const override { return false; }
};
