#pragma once
// "loadClipFromFile <clip reader node> <clip path>": loads a clip file into a LMRAClipReader.
// Its result is true when the clip was loaded.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>
#include <maya/MStatus.h>

class LoadCaptureCommand : public MPxCommand {
  public:
    static const char* const commandName;  // "loadClipFromFile"
    static void* creator();

    MStatus doIt(const MArgList& args) override;
    MStatus undoIt() override { return MStatus::kFailure; }
    bool isUndoable() const override { return false; }
};
