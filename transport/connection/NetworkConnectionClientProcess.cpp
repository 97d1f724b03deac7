#include "transport/connection/NetworkConnectionClientProcess.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <utility>

#include "clip/folders/EnsureParentFolder.h"
#include "transport/connection/UDPClient.h"
#include "transport/outcomes/SaveOutcomes.h"
#include "transport/protocol/MocapDataHandler.h"
#include "transport/protocol/PhoneCommands.h"
#include "transport/protocol/TransportMessages.h"

NetworkConnectionClientProcess::~NetworkConnectionClientProcess() {
    if (isRunning()) closeConnection();
    joinSessionThread();
}

bool NetworkConnectionClientProcess::beginConnection(std::uint32_t kind, std::string address,
                                                     std::string port, DataStreamClient* owner) {
    kind_ = kind;
    return openConnection(std::move(address), std::move(port), owner);
}

bool NetworkConnectionClientProcess::setChannelLayout(ChannelNameLists& names) {
    std::lock_guard<std::mutex> lock(dataMutex_);
    recording_.names = names;
    return true;
}

bool NetworkConnectionClientProcess::acceptConnection(ChannelNameLists& names) {
    {
        std::lock_guard<std::mutex> lock(dataMutex_);
        acceptedChannels_ = names;
    }
    std::lock_guard<std::mutex> lock(statusMutex_);
    waitingForReply_ = false;
    rejectCode_ = 0;
    statusChanged_.notify_all();
    return true;
}

bool NetworkConnectionClientProcess::rejectConnection(std::uint32_t code) {
    std::lock_guard<std::mutex> lock(statusMutex_);
    waitingForReply_ = false;
    rejectCode_ = code;
    statusChanged_.notify_all();
    return true;
}

std::uint64_t NetworkConnectionClientProcess::storeLatestFrame(const double* values,
                                                               std::uint64_t byteCount) {
    if (!values) return 0;
    const std::uint64_t copied = std::min<std::uint64_t>(byteCount, kMaxFrameBytes);
    std::lock_guard<std::mutex> lock(dataMutex_);
    std::memcpy(latestFrame_.data(), values, copied);
    return copied;
}

std::uint64_t NetworkConnectionClientProcess::copyLatestFrameLocked(double* values,
                                                                    std::uint64_t byteCount) const {
    if (!values) return 0;
    const std::uint64_t copied = std::min<std::uint64_t>(byteCount, kMaxFrameBytes);
    std::memcpy(values, latestFrame_.data(), copied);
    return copied;
}

std::uint64_t NetworkConnectionClientProcess::readLatestFrame(double* values,
                                                              std::uint64_t byteCount) {
    std::lock_guard<std::mutex> lock(dataMutex_);
    return copyLatestFrameLocked(values, byteCount);
}

bool NetworkConnectionClientProcess::appendRecordedFrame(CaptureFrame& frame) {
    const StreamClock::time_point arrival = StreamClock::now();
    std::lock_guard<std::mutex> lock(dataMutex_);
    hasFrame_ = true;
    newestArrival_ = arrival;
    newestTimestamp_ = frame.timestamp;
    arrivals_.record(arrival);
    recording_.frames.push_back(std::move(frame));
    if (recording_.frames.size() > kMaxRecordedFrames) recording_.frames.pop_front();
    ++framesReceived_;
    frameArrived_.notify_all();
    return true;
}

StreamHealth NetworkConnectionClientProcess::healthLocked(StreamClock::time_point now) const {
    StreamHealth health;
    health.framesReceived = framesReceived_;
    health.receiveRate = arrivals_.ratePerSecond(now);
    health.hasFrame = hasFrame_;
    health.newestArrival = newestArrival_;
    health.newestTimestamp = newestTimestamp_;
    health.droppedMessages = drops_.total();
    return health;
}

StreamHealth NetworkConnectionClientProcess::health(StreamClock::time_point now) {
    std::lock_guard<std::mutex> lock(dataMutex_);
    return healthLocked(now);
}

std::uint64_t NetworkConnectionClientProcess::readNewestFrame(double* values,
                                                              std::uint64_t byteCount,
                                                              StreamHealth& health,
                                                              StreamClock::time_point now) {
    std::lock_guard<std::mutex> lock(dataMutex_);
    health = healthLocked(now);
    return copyLatestFrameLocked(values, byteCount);
}

void NetworkConnectionClientProcess::getChannelLayout(ChannelNameLists& names) {
    std::lock_guard<std::mutex> lock(dataMutex_);
    names = acceptedChannels_;
}

bool NetworkConnectionClientProcess::copyRecording(CaptureRecording& recording) {
    std::lock_guard<std::mutex> lock(dataMutex_);
    recording = recording_;
    return true;
}

bool NetworkConnectionClientProcess::isWaitingForReply() {
    std::lock_guard<std::mutex> lock(statusMutex_);
    return waitingForReply_;
}

std::uint32_t NetworkConnectionClientProcess::rejectCode() {
    std::lock_guard<std::mutex> lock(statusMutex_);
    return rejectCode_;
}

bool NetworkConnectionClientProcess::isRunning() {
    std::lock_guard<std::mutex> lock(runningMutex_);
    return running_;
}

bool NetworkConnectionClientProcess::openConnection(std::string address, std::string port,
                                                    DataStreamClient* owner) {
    if (isRunning()) return false;
    joinSessionThread();  // the previous session's thread finishes its cleanup

    {
        std::lock_guard<std::mutex> lock(runningMutex_);
        running_ = true;
    }
    {
        std::lock_guard<std::mutex> lock(statusMutex_);
        waitingForReply_ = true;
        rejectCode_ = 0;
    }
    {
        std::lock_guard<std::mutex> lock(dataMutex_);
        recording_.clear();
        framesReceived_ = 0;
        hasFrame_ = false;
        newestTimestamp_ = 0.0;
        arrivals_.clear();
    }
    owner_ = owner;
    drops_.reset();

    try {
        auto handler = std::make_unique<MocapDataHandler>(this, &drops_);
        std::unique_ptr<CaptureDataStreamDeviceInterface> client;
        if (kind_ == kUsbConnection) {
            client = std::make_unique<TCPOverUSBCommunication>(
                usbPortNumber(port), std::move(handler), usbTimeouts_, &drops_);
        } else {
            client = std::make_unique<UDPClient>(std::move(address), std::move(port),
                                                 std::move(handler), wifiReceivePort_, &drops_);
        }
        CaptureDataStreamDeviceInterface* session = client.get();
        {
            std::lock_guard<std::mutex> lock(clientMutex_);
            client_ = std::move(client);
        }
        sessionThread_ = std::thread(&NetworkConnectionClientProcess::runSession, this, session);
    } catch (const std::exception& error) {
        reportTransportMessage(error.what());
        cleanup();
        return false;
    }
    return true;
}

void NetworkConnectionClientProcess::runSession(CaptureDataStreamDeviceInterface* client) {
    // client stays valid until cleanup() below: only this thread deletes it.
    try {
        client->run();
        if (owner_) owner_->onConnectionLost();
    } catch (const std::exception& error) {
        reportTransportMessage(error.what());
    } catch (...) {
        reportTransportMessage("The capture session ended with an unknown error.");
    }
    cleanup();
}

void NetworkConnectionClientProcess::cleanup() {
    {
        std::lock_guard<std::mutex> lock(dataMutex_);
        acceptedChannels_.clear();
    }
    std::unique_ptr<CaptureDataStreamDeviceInterface> client;
    std::vector<std::string> requestedVideos;
    {
        std::lock_guard<std::mutex> lock(clientMutex_);
        client = std::move(client_);
        requestedVideos.swap(requestedVideos_);
    }
    client.reset();  // deletes the message handler too; the transport has said what it knows
    // A save waiting for its video would otherwise wait for ever.
    for (const std::string& path : requestedVideos) {
        if (isVideoAwaited(path)) reportVideoNotReceived(path);
    }
    drops_.reportSummary();
    {
        std::lock_guard<std::mutex> lock(runningMutex_);
        running_ = false;
        runningChanged_.notify_all();
    }
    // Only now: whoever stops waiting for the reply must find a session that ended without one
    // not running, never one that looks accepted.
    std::lock_guard<std::mutex> lock(statusMutex_);
    waitingForReply_ = false;
    statusChanged_.notify_all();
}

bool NetworkConnectionClientProcess::startCapture(bool withVideo) {
    if (isWaitingForReply()) return false;
    std::lock_guard<std::mutex> lock(clientMutex_);
    if (!client_) return false;
    withVideo_ = withVideo;
    client_->start(withVideo);
    return true;
}

bool NetworkConnectionClientProcess::pauseCapture() {
    std::lock_guard<std::mutex> lock(clientMutex_);
    if (!client_) return false;
    client_->pause();
    return true;
}

bool NetworkConnectionClientProcess::saveCapture(std::string path, double startTime,
                                                 double endTime) {
    if (!withVideo_) return false;
    {
        std::lock_guard<std::mutex> lock(clientMutex_);
        if (!client_) return false;
    }
    // Outside the client lock: creating folders may take a while. The phone is asked all the
    // same: the download reports its own failure to write the file.
    if (const auto failure = ensureParentFolder(path)) {
        postMessage(MessageKind::error, kCannotCreateOutputFolder);
        postMessage(MessageKind::error, *failure);
    }
    std::lock_guard<std::mutex> lock(clientMutex_);
    if (!client_) return false;
    requestedVideos_.push_back(path);
    client_->saveCapture(path, startTime, endTime);
    return true;
}

bool NetworkConnectionClientProcess::closeConnection() {
    if (!isRunning()) return false;
    {
        std::lock_guard<std::mutex> lock(clientMutex_);
        if (client_) client_->stop();
    }
    waitUntilNotRunning();
    joinSessionThread();
    return true;
}

void NetworkConnectionClientProcess::waitUntilNotRunning() {
    // The transports' stop ends their sessions; no time limit is needed here.
    std::unique_lock<std::mutex> lock(runningMutex_);
    runningChanged_.wait(lock, [this] { return !running_; });
}

void NetworkConnectionClientProcess::joinSessionThread() {
    if (!sessionThread_.joinable()) return;
    if (sessionThread_.get_id() == std::this_thread::get_id()) {
        // Reached from the owner's onConnectionLost on the session thread itself: it ends on
        // its own right after the cleanup.
        sessionThread_.detach();
        return;
    }
    sessionThread_.join();
}

bool NetworkConnectionClientProcess::waitForReply(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(statusMutex_);
    return statusChanged_.wait_for(lock, timeout, [this] { return !waitingForReply_; });
}

bool NetworkConnectionClientProcess::waitUntilEnded(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(runningMutex_);
    return runningChanged_.wait_for(lock, timeout, [this] { return !running_; });
}

std::uint64_t NetworkConnectionClientProcess::framesReceived() {
    std::lock_guard<std::mutex> lock(dataMutex_);
    return framesReceived_;
}

bool NetworkConnectionClientProcess::waitForFrames(std::uint64_t count,
                                                   std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(dataMutex_);
    return frameArrived_.wait_for(lock, timeout, [&] { return framesReceived_ >= count; });
}
