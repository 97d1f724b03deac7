#pragma once
// The four commands that drive a live device node. Each takes the name of a LMRARealTimeDevice
// node, runs one operation on it and gives the operation's boolean as its result.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>
#include <maya/MStatus.h>

class LMRARealTimeDevice;

// Finds the device node named by the only argument; the subclasses name the operation.
class mocapNetworkCommands : public MPxCommand {
  public:
    ~mocapNetworkCommands() override = default;
    MStatus doIt(const MArgList& args) override;
    MStatus undoIt() override;
    bool isUndoable() const override;

  protected:
    virtual bool applyToDevice(LMRARealTimeDevice& device) = 0;
    // The command's name, for its usage line.
    virtual const char* registeredName() const = 0;
};

class establishConnection : public mocapNetworkCommands {
  public:
    static const char* const commandName;  // "establishConnection"
    static void* creator();

  protected:
    bool applyToDevice(LMRARealTimeDevice& device) override;
    const char* registeredName() const override;
};

class startCaptureSession : public mocapNetworkCommands {
  public:
    static const char* const commandName;  // "startMocapSession"
    static void* creator();

  protected:
    bool applyToDevice(LMRARealTimeDevice& device) override;
    const char* registeredName() const override;
};

class pauseCaptureSession : public mocapNetworkCommands {
  public:
    static const char* const commandName;  // "pauseMocapSession"
    static void* creator();

  protected:
    bool applyToDevice(LMRARealTimeDevice& device) override;
    const char* registeredName() const override;
};

class stopCaptureSession : public mocapNetworkCommands {
  public:
    static const char* const commandName;  // "stopMocapSession"
    static void* creator();

  protected:
    bool applyToDevice(LMRARealTimeDevice& device) override;
    const char* registeredName() const override;
};
