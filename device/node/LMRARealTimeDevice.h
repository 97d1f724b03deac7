#pragma once
// The live capture node: a threaded device node whose worker thread paces the refreshes, and
// whose compute takes the phone's newest frame at each refresh and turns it into the channel
// outputs.

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <maya/MDataBlock.h>
#include <maya/MMessage.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MPxThreadedDeviceNode.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

#include "device/channels/ChannelAttributes.h"
#include "plugin/messages/PluginClassBases.h"
#include "transport/connection/SilenceWatch.h"
#include "transport/connection/StreamHealth.h"
#include "transport/records/CaptureRecords.h"
#include "transport/records/StreamInterfaces.h"

class NetworkConnectionClientProcess;

// 0 disconnected, 1 connected, 2 capturing, 3 capturing with video.
using ConnectionStatus = std::int32_t;
constexpr ConnectionStatus kStatusDisconnected = 0;
constexpr ConnectionStatus kStatusConnected = 1;
constexpr ConnectionStatus kStatusCapturing = 2;
constexpr ConnectionStatus kStatusCapturingWithVideo = 3;

class LMRARealTimeDevice : public PluginNode<LMRARealTimeDevice, MPxThreadedDeviceNode>,
                           public DataStreamClient {
  public:
    static const MString kTypeName;            // "LMRARealTimeDevice"
    static const MTypeId kTypeId;              // 0x130686
    static const char* const statusEventName;  // "LMRARltDvceConnStatusChanged"

    static MObject refreshNode;
    static MObject ipAddress;
    static MObject wifiPort;
    static MObject usbPort;
    static MObject wifiReceivePort;
    static MObject clipPathTemplate;
    static MObject clipLength;
    static MObject connectionType;
    static MObject recordVideo;
    static MObject connectionStatus;
    // How the stream is doing, as of the last refresh: read-only, neither stored nor keyable.
    static MObject framesReceived;   // frames of this session
    static MObject receiveRate;      // frames a second over the last second
    static MObject lastFrameAge;     // milliseconds since the newest frame arrived; -1: none yet
    static MObject lastFrameTime;    // the phone's time of the newest frame, in seconds
    static MObject droppedMessages;  // messages of this session dropped, all kinds together
    static MObject streaming;        // capturing, not paused, and a frame came in the last 0.5 s

    static MStatus initialize();

    LMRARealTimeDevice();
    ~LMRARealTimeDevice() override;

    void postConstructor() override;
    MStatus compute(const MPlug& plug, MDataBlock& data) override;
    MStatus setDependentsDirty(const MPlug& plug, MPlugArray& affected) override;
    // kUntrusted: compute posts the status event, whose callbacks (Python ones too) may touch
    // anything in the scene.
    SchedulingType schedulingType() const override { return kUntrusted; }
    void threadHandler() override;
    void threadShutdownHandler() override;

    // Session thread: the connection ended.
    void onConnectionLost() override;

    // Main thread; each returns whether it did what it names.
    bool connectToPhone();
    bool startSession();
    bool pauseSession();
    bool stopSession();
    // Runs the steps of connecting one by one without starting a capture, and gives one line
    // per step. Leaves the node as it found it; takes up to the transport's reply time-out.
    std::vector<std::string> checkConnection();
    // Forwarded to the connection process; false when there is none.
    bool copyRecording(CaptureRecording& recording);
    bool saveCapture(std::string path, double startTime, double endTime);

    // A session with the phone is open: connected, and not yet ended.
    bool hasOpenSession();
    // The last pause was accepted and no start came after it.
    bool isPaused() const { return paused_.load(); }
    // Main thread, outside compute: publishes on connectionStatus what the session did, so that
    // a read right after a command sees it; posts the user event when it changed.
    void publishStatus();

  private:
    // Says that a command needs an open session, which the node does not have.
    void warnNoSession(const char* action) const;
    void setStatus(ConnectionStatus status) { status_.store(status); }
    void postStatusEvent();
    // The Wi-Fi receive port setting, checked (heldPort: the one the open session holds, free
    // once it has ended); false after an error that names the port.
    bool readReceivePort(int& port, unsigned short heldPort);
    std::shared_ptr<NetworkConnectionClientProcess> connection();
    std::shared_ptr<NetworkConnectionClientProcess> replaceConnection(
        std::shared_ptr<NetworkConnectionClientProcess> connection);
    // Waits a little, or until a stop meant for this handler comes.
    void waitWhileNotLive(std::uint64_t handler);
    // Compute's side of publishStatus(): the status for this evaluation.
    ConnectionStatus publishStatus(MDataBlock& data);
    MStatus popFrame(const MPlug& plug, MDataBlock& data);
    bool isHealthOutput(const MPlug& plug) const;
    MStatus computeHealth(const MPlug& plug, MDataBlock& data, ConnectionStatus status);
    // Worker thread, once a refresh: says when the phone falls silent and when it comes back.
    void watchForSilence();
    double channelValue(const ChannelOutputPosition& position, const MPlug& plug, MDataBlock& data);
    const MatrixChannelOutputs& matrixOutputs(std::size_t channel);

    // The worker thread asks the connection for its health while connectToPhone replaces it, so
    // the pointer is guarded by this lock; the worker never holds the process beyond it (the
    // last reference goes on the main thread).
    std::mutex sessionMutex_;
    std::shared_ptr<NetworkConnectionClientProcess> connection_;  // guarded by sessionMutex_
    std::uint64_t connectionGeneration_ = 0;  // guarded by sessionMutex_; one more per replacement
    ChannelOutputs outputs_;  // lists changed under sessionMutex_; main thread reads them freely

    // Set on the main thread by the commands, read by the worker's silence watch.
    std::atomic<bool> paused_{false};
    std::atomic<bool> usbSession_{false};
    std::atomic<StreamClock::rep> capturingSince_{0};  // the last start, as a StreamClock count

    // The worker's own.
    SilenceWatch silence_;
    std::uint64_t watchedGeneration_ = 0;

    // The stream's health at the last refresh; main thread only.
    StreamHealth health_;
    StreamClock::time_point refreshedAt_{};

    // Lets a worker whose node is not live wait instead of spinning; woken at shutdown.
    std::mutex idleMutex_;
    std::condition_variable idleWake_;
    // Each start of the worker runs the thread handler once and each stop runs the shutdown
    // handler once, in that order, but a stop may land before its handler has begun. Counting
    // both lets a handler see a stop meant for it even then. Guarded by idleMutex_.
    std::uint64_t handlersStarted_ = 0;
    std::uint64_t stopsRequested_ = 0;
    bool stopRequestedFor(std::uint64_t handler) const { return stopsRequested_ >= handler; }

    // The phone of the node's last connect (ConnectionSettings::phone); main thread only.
    std::string sessionPhone_;
    // Another device node whose open session talks to phone (to any phone when it is empty).
    LMRARealTimeDevice* otherSessionWith(const std::string& phone) const;

    // Ends the phone session when the node leaves the graph (deletion puts it on the undo
    // queue, where its destructor does not run yet).
    static void onPreRemoval(MObject& node, void* clientData);
    void endSession();
    MCallbackId removalCallback_ = 0;

    // Written by the session thread (onConnectionLost) and the main thread, read by compute.
    std::atomic<ConnectionStatus> status_{kStatusDisconnected};
    // What connectionStatus shows; main thread only. A change of it is announced once.
    ConnectionStatus publishedStatus_ = kStatusDisconnected;

    // Compute's own copy of the newest frame (main thread only), in the frame's flat layout:
    // the scalars, then 3 values per vector channel, then 16 per matrix channel, as outputs_
    // lists them. The session writes it directly at each refresh.
    std::array<double, kMaxFrameValues> frameValues_{};
    // The phone's channel list is capped to what a frame holds; this holds the node to it too.
    bool layoutFitsFrame() const;
    std::size_t matrixOffset() const;
    const double* vectorValues(std::size_t channel) const;
    const double* matrixValues(std::size_t channel) const;
    // Zeros, and the identity for every matrix channel: the values before a first frame.
    void resetFrameValues();
    // The six outputs of each matrix channel, decomposed at most once per popped frame: a
    // channel's outputs are current when its generation equals frameGeneration_.
    std::array<MatrixChannelOutputs, kMaxMatrixChannels> matrixOutputValues_{};
    std::array<std::uint64_t, kMaxMatrixChannels> matrixGeneration_{};
    std::uint64_t frameGeneration_ = 1;
};
