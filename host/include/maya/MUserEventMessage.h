#pragma once
// Headless host: Maya's MUserEventMessage. Main thread only, as the rest of Maya's API (see
// headless/ApiThreads.h); callbacks run on the thread that posts.

#include <maya/MMessage.h>
#include <maya/MString.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MUserEventMessage : public MMessage {
  public:
    static MStatus registerUserEvent(const MString& event);
    static bool isUserEvent(const MString& event);
    static MStatus deregisterUserEvent(const MString& event);
    static MStatus postUserEvent(const MString& event, void* clientData = nullptr);
    static MCallbackId addUserEventCallback(const MString& event, MMessage::MBasicFunction func,
                                            void* clientData = nullptr,
                                            MStatus* returnStatus = nullptr);
};

OPENMAYA_NAMESPACE_CLOSE
