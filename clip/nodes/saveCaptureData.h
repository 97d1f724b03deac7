#pragma once
// "saveMocapData <device node> <clip path> <seconds> [<video path>]": keeps the last stretch of a
// live device node's recording as a clip file, written on a thread of its own.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>
#include <maya/MStatus.h>

class saveCaptureData : public MPxCommand {
  public:
    static const char* const commandName;  // "saveMocapData"
    static void* creator();

    MStatus doIt(const MArgList& args) override;
    MStatus undoIt() override { return MStatus::kFailure; }
    bool isUndoable() const override { return false; }
};
