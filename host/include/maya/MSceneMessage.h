#pragma once
// Headless host: Maya's MSceneMessage, for the messages the host posts: kBeforeNew and
// kAfterNew (file -new), kBeforeOpen and kAfterOpen (file -open) and kMayaExiting (the end of
// the session). Main thread only.

#include <maya/MMessage.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MSceneMessage : public MMessage {
  public:
    enum Message {
        kSceneUpdate,
        kBeforeNew,
        kAfterNew,
        kBeforeImport,
        kAfterImport,
        kBeforeOpen,
        kAfterOpen,
        kMayaInitialized = 29,
        kMayaExiting = 30,
    };
    static MCallbackId addCallback(Message msg, MMessage::MBasicFunction func,
                                   void* clientData = nullptr, MStatus* ReturnStatus = nullptr);
};

OPENMAYA_NAMESPACE_CLOSE

namespace headless::detail {
// Runs the callbacks of the message, in the order they were added.
void postSceneMessage(MSceneMessage::Message msg);
}  // namespace headless::detail
