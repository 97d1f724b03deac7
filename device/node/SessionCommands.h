#pragma once
// The four commands that drive a live device node. Each takes the name of a LMRARealTimeDevice
// node, runs one operation on it and gives the operation's boolean as its result.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>
#include <maya/MStatus.h>

#include "device/node/LMRARealTimeDevice.h"

// Finds the device node named by the only argument; SessionCommand names the operation.
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

// A session command that only names itself and the device node's operation it runs: the four
// differ in nothing else.
template <const char* name, bool (LMRARealTimeDevice::*operation)()>
class SessionCommand final : public mocapNetworkCommands {
  public:
    static constexpr const char* commandName = name;
    static void* creator() { return new SessionCommand(); }

  protected:
    bool applyToDevice(LMRARealTimeDevice& device) override { return (device.*operation)(); }
    const char* registeredName() const override { return commandName; }
};

// The names the four are registered under: a template argument needs a named array, not a literal.
inline constexpr char kEstablishName[] = "establishConnection";
inline constexpr char kStartName[] = "startMocapSession";
inline constexpr char kPauseName[] = "pauseMocapSession";
inline constexpr char kStopName[] = "stopMocapSession";

using establishConnection = SessionCommand<kEstablishName, &LMRARealTimeDevice::connectToPhone>;
using startCaptureSession = SessionCommand<kStartName, &LMRARealTimeDevice::startSession>;
using pauseCaptureSession = SessionCommand<kPauseName, &LMRARealTimeDevice::pauseSession>;
using stopCaptureSession = SessionCommand<kStopName, &LMRARealTimeDevice::stopSession>;
