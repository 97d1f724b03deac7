#pragma once
// One connection to the phone: picks the transport, runs its session on a thread of its own,
// and keeps what the message handler delivers (the accepted channel lists, the latest frame and
// a bounded recording) for the device node and the saving command.

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "transport/connection/StreamHealth.h"
#include "transport/connection/TCPOverUSBCommunication.h"
#include "transport/protocol/StreamDrops.h"
#include "transport/records/CaptureRecords.h"
#include "transport/records/StreamInterfaces.h"

class NetworkConnectionClientProcess final : public CaptureDataStreamInterface {
  public:
    static constexpr std::uint32_t kWifiConnection = 0;
    static constexpr std::uint32_t kUsbConnection = 1;

    NetworkConnectionClientProcess() = default;
    // Ends a session that is still running (bounded by the transports' own time-outs) and waits
    // for its thread, so that the thread never works on a destroyed process.
    ~NetworkConnectionClientProcess() override;
    NetworkConnectionClientProcess(const NetworkConnectionClientProcess&) = delete;
    NetworkConnectionClientProcess& operator=(const NetworkConnectionClientProcess&) = delete;

    bool beginConnection(std::uint32_t kind, std::string address, std::string port,
                         DataStreamClient* owner);

    // Called by the message handler on the session thread.
    bool setChannelLayout(ChannelNameLists& names) override;
    bool acceptConnection(ChannelNameLists& names) override;
    bool rejectConnection(std::uint32_t code) override;
    std::uint64_t storeLatestFrame(const double* values, std::uint64_t byteCount) override;
    bool appendRecordedFrame(CaptureFrame& frame) override;

    // Called by the device node and the saving command.
    std::uint64_t readLatestFrame(double* values, std::uint64_t byteCount) override;
    void getChannelLayout(ChannelNameLists& names) override;
    bool openConnection(std::string address, std::string port, DataStreamClient* owner) override;
    bool startCapture(bool withVideo) override;
    bool pauseCapture() override;
    bool saveCapture(std::string path, double startTime, double endTime) override;
    bool closeConnection() override;
    bool copyRecording(CaptureRecording& recording) override;
    bool isWaitingForReply() override;
    std::uint32_t rejectCode() override;
    bool isRunning() override;

    // Blocking waits with a deadline, in place of polling the flags above. Each returns
    // whether its condition holds.
    bool waitForReply(std::chrono::milliseconds timeout);    // not waiting for the reply
    bool waitUntilEnded(std::chrono::milliseconds timeout);  // not running
    // The newest frame as readLatestFrame gives it, and the stream's health as of now, both
    // from the same moment.
    std::uint64_t readNewestFrame(double* values, std::uint64_t byteCount, StreamHealth& health,
                                  StreamClock::time_point now);
    StreamHealth health(StreamClock::time_point now);
    // Data messages delivered since openConnection (not bounded by the recording's limit).
    std::uint64_t framesReceived();
    bool waitForFrames(std::uint64_t count, std::chrono::milliseconds timeout);

    // What the current (or last) session dropped, by kind; readable on any thread.
    const StreamDropCounter& drops() const { return drops_; }

    // The USB client's waits; for tests that cannot wait seconds for a silent phone.
    void setUsbTimeouts(const UsbTimeouts& timeouts) { usbTimeouts_ = timeouts; }
    // The local UDP port that a Wi-Fi session receives on; 0 (the default): any free port.
    void setWifiReceivePort(unsigned short port) { wifiReceivePort_ = port; }
    unsigned short wifiReceivePort() const { return wifiReceivePort_; }

  private:
    void runSession(CaptureDataStreamDeviceInterface* client);
    void cleanup();
    void waitUntilNotRunning();
    void joinSessionThread();
    StreamHealth healthLocked(StreamClock::time_point now) const;  // dataMutex_ held
    std::uint64_t copyLatestFrameLocked(double* values, std::uint64_t byteCount) const;  // likewise

    // Set on the host's main thread and read on the saving command's writer thread.
    std::atomic<bool> withVideo_{false};
    std::uint32_t kind_ = kWifiConnection;  // main thread only
    StreamDropCounter drops_;               // reset before a session starts; its counts are atomic
    UsbTimeouts usbTimeouts_;               // main thread only, before a session starts
    unsigned short wifiReceivePort_ = 0;    // main thread only, before a session starts

    // The forwarding calls hold clientMutex_ while they use the client; the cleanup takes the
    // client out under it, so no call reaches a client that is being deleted.
    std::mutex clientMutex_;
    std::unique_ptr<CaptureDataStreamDeviceInterface> client_;  // guarded by clientMutex_
    // The video paths this session asked the phone for: at its end, a video still awaited (its
    // request never sent, or dropped by a session that was ending) is said to be missing.
    std::vector<std::string> requestedVideos_;  // guarded by clientMutex_

    // Written before the session thread starts, read on it.
    DataStreamClient* owner_ = nullptr;
    std::thread sessionThread_;  // main thread only

    // The session thread writes these while the node's threads read them.
    std::mutex dataMutex_;
    std::array<double, kMaxFrameValues> latestFrame_{};  // guarded by dataMutex_
    ChannelNameLists acceptedChannels_;                  // guarded by dataMutex_
    CaptureRecording recording_;                         // guarded by dataMutex_
    std::uint64_t framesReceived_ = 0;                   // guarded by dataMutex_
    // The newest frame's arrival and phone time, and the recent arrivals; guarded by dataMutex_.
    bool hasFrame_ = false;
    StreamClock::time_point newestArrival_{};
    double newestTimestamp_ = 0.0;
    ArrivalHistory arrivals_;
    std::condition_variable frameArrived_;

    std::mutex runningMutex_;
    std::condition_variable runningChanged_;
    bool running_ = false;  // guarded by runningMutex_

    std::mutex statusMutex_;
    std::condition_variable statusChanged_;
    bool waitingForReply_ = false;  // guarded by statusMutex_
    std::uint32_t rejectCode_ = 0;  // guarded by statusMutex_
};
