#pragma once
// Headless host: Maya's MCommandMessage, for the command output callbacks: every line the script
// output shows, with its kind. A line shown on another thread reaches the callbacks on the main
// thread, at the next turn of the main loop. Callbacks run on the main thread only.

#include <maya/MMessage.h>
#include <maya/MString.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MCommandMessage : public MMessage {
  public:
    enum MessageType { kHistory, kDisplay, kInfo, kWarning, kError, kResult, kStackTrace };
    enum MProcType { kMELProc = 0, kMELCommand };
    typedef void (*MMessageFunction)(const MString& message,
                                     MCommandMessage::MessageType messageType, void* clientData);

    static MCallbackId addCommandOutputCallback(MCommandMessage::MMessageFunction func,
                                                void* clientData = nullptr,
                                                MStatus* ReturnStatus = nullptr);
};

OPENMAYA_NAMESPACE_CLOSE

namespace headless::detail {
// Hands the lines shown on other threads since the last call to the callbacks (main thread).
void deliverCommandOutput();
}  // namespace headless::detail
