#pragma once
// The four seams between the connection process, the transports, the message handler and the
// owner of a connection.

#include <cstdint>
#include <string>

#include "transport/records/CaptureRecords.h"

class DataStreamClient;

// What the device node and the message handler see of a connection process.
class CaptureDataStreamInterface {
  public:
    virtual bool setChannelLayout(ChannelNameLists& names) = 0;
    virtual bool acceptConnection(ChannelNameLists& names) = 0;
    virtual bool rejectConnection(std::uint32_t code) = 0;
    virtual std::uint64_t storeLatestFrame(const double* values, std::uint64_t byteCount) = 0;
    virtual std::uint64_t readLatestFrame(double* values, std::uint64_t byteCount) = 0;
    virtual void getChannelLayout(ChannelNameLists& names) = 0;
    virtual bool openConnection(std::string address, std::string port, DataStreamClient* owner) = 0;
    virtual bool startCapture(bool withVideo) = 0;
    virtual bool pauseCapture() = 0;
    virtual bool saveCapture(std::string path, double startTime, double endTime) = 0;
    virtual bool closeConnection() = 0;
    virtual bool appendRecordedFrame(CaptureFrame& frame) = 0;
    virtual bool copyRecording(CaptureRecording& recording) = 0;
    virtual bool isWaitingForReply() = 0;
    virtual std::uint32_t rejectCode() = 0;
    virtual bool isRunning() = 0;
    virtual ~CaptureDataStreamInterface() = default;
};

// What the connection process sees of a transport. run() executes on the session thread; the
// other four are called from other threads while it runs.
class CaptureDataStreamDeviceInterface {
  public:
    virtual void run() = 0;
    virtual void start(bool withVideo) = 0;
    virtual void pause() = 0;
    virtual void saveCapture(std::string path, double startTime, double endTime) = 0;
    virtual void stop() = 0;
    virtual ~CaptureDataStreamDeviceInterface() = default;
};

// What the connection process sees of its owner: told on the session thread when a session ends.
class DataStreamClient {
  public:
    virtual void onConnectionLost() = 0;

  protected:
    ~DataStreamClient() = default;
};

// What a transport sees of the message handler.
class IDataHandler {
  public:
    virtual bool handleConnectReply(std::string message) = 0;
    virtual void handleFrame(std::string message) = 0;
    virtual ~IDataHandler() = default;
};
