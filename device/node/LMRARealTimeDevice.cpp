#include "device/node/LMRARealTimeDevice.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>
#include <utility>

#include <maya/MDataHandle.h>
#include <maya/MFnData.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MFnStringData.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MGlobal.h>
#include <maya/MNodeMessage.h>
#include <maya/MObjectArray.h>
#include <maya/MUserEventMessage.h>

#include "device/node/ConnectionSettings.h"
#include "plugin/messages/AttributeCreation.h"
#include "plugin/messages/PluginMessages.h"
#include "plugin/messages/StatusChecks.h"
#include "transport/connection/ConnectionCheck.h"
#include "transport/connection/NetworkConnectionClientProcess.h"
#include "transport/connection/ReceivePort.h"
#include "transport/connection/TCPOverUSBCommunication.h"
#include "transport/connection/UDPClient.h"
#include "transport/messages/MessageSink.h"

namespace {

const char* const kDefaultIpAddress = "192.168.0.10";
const char* const kDefaultClipPathTemplate = "/lumora/<scenename>_<nodename>.###";
constexpr int kDefaultWifiPort = 35601;
constexpr int kDefaultUsbPort = 35602;
constexpr int kDefaultClipLength = 30;
constexpr double kLiveFrameRate = 60.0;

// How often a worker whose node is not live looks whether it is live again.
constexpr std::chrono::milliseconds kNotLiveWait{50};
// Slice of the wait for the phone's reply to the connect command.
constexpr std::chrono::milliseconds kReplyPoll{10};
constexpr std::chrono::milliseconds kRefusedSessionEnd{2000};

// Counts are shown as Maya's 32-bit integers.
constexpr std::uint64_t kMaxCount = static_cast<std::uint64_t>(std::numeric_limits<int>::max());
// A frame this recent means the phone streams.
constexpr std::chrono::milliseconds kStreamingWithin{500};

// Every device node that exists. Maya creates and destroys nodes on the main thread only, and
// only the main thread reads the list.
std::vector<LMRARealTimeDevice*>& existingDevices() {
    static std::vector<LMRARealTimeDevice*> devices;
    return devices;
}

constexpr std::uint32_t kRejectedByPhone = 1;
constexpr std::uint32_t kRejectedWrongScreen = 2;

}  // namespace

const MString LMRARealTimeDevice::kTypeName("LMRARealTimeDevice");
const MTypeId LMRARealTimeDevice::kTypeId(0x130686);
const char* const LMRARealTimeDevice::statusEventName = "LMRARltDvceConnStatusChanged";

MObject LMRARealTimeDevice::refreshNode;
MObject LMRARealTimeDevice::ipAddress;
MObject LMRARealTimeDevice::wifiPort;
MObject LMRARealTimeDevice::usbPort;
MObject LMRARealTimeDevice::wifiReceivePort;
MObject LMRARealTimeDevice::clipPathTemplate;
MObject LMRARealTimeDevice::clipLength;
MObject LMRARealTimeDevice::connectionType;
MObject LMRARealTimeDevice::recordVideo;
MObject LMRARealTimeDevice::connectionStatus;
MObject LMRARealTimeDevice::framesReceived;
MObject LMRARealTimeDevice::receiveRate;
MObject LMRARealTimeDevice::lastFrameAge;
MObject LMRARealTimeDevice::lastFrameTime;
MObject LMRARealTimeDevice::droppedMessages;
MObject LMRARealTimeDevice::streaming;

MStatus LMRARealTimeDevice::initialize() {
    MFnNumericAttribute numeric;
    MFnTypedAttribute typed;
    MFnStringData stringData;
    MStatus status;

    refreshNode = numeric.create("refreshNode", "refresh", MFnNumericData::kDouble, 0.0, &status);
    LMRA_CHECK_STATUS(status, "refreshNode");
    LMRA_CHECK(numeric.setStorable(false));
    LMRA_CHECK(numeric.setConnectable(false));
    LMRA_CHECK(numeric.setHidden(true));
    LMRA_CHECK(addAttribute(refreshNode));
    LMRA_CHECK(attributeAffects(live, refreshNode));
    LMRA_CHECK(attributeAffects(frameRate, refreshNode));

    const MObject defaultAddress = stringData.create(kDefaultIpAddress, &status);
    LMRA_CHECK_STATUS(status, "the default ipAddress");
    ipAddress = typed.create("ipAddress", "ipAddress", MFnData::kString, defaultAddress, &status);
    LMRA_CHECK_STATUS(status, "ipAddress");
    LMRA_CHECK(addAttribute(ipAddress));

    LMRA_CHECK(
        lmra::createNumeric(numeric, wifiPort, "wifiPort", MFnNumericData::kInt, kDefaultWifiPort));
    LMRA_CHECK(addAttribute(wifiPort));
    LMRA_CHECK(
        lmra::createNumeric(numeric, usbPort, "usbPort", MFnNumericData::kInt, kDefaultUsbPort));
    LMRA_CHECK(addAttribute(usbPort));
    // 0 receives on any free port; a fixed one lets a firewall open exactly that port.
    LMRA_CHECK(lmra::createNumeric(numeric, wifiReceivePort, "wifiReceivePort",
                                   MFnNumericData::kInt, kAnyReceivePort));
    LMRA_CHECK(addAttribute(wifiReceivePort));

    const MObject defaultTemplate = stringData.create(kDefaultClipPathTemplate, &status);
    LMRA_CHECK_STATUS(status, "the default clipPathTemplate");
    clipPathTemplate = typed.create("clipPathTemplate", "clipPathTemplate", MFnData::kString,
                                    defaultTemplate, &status);
    LMRA_CHECK_STATUS(status, "clipPathTemplate");
    LMRA_CHECK(addAttribute(clipPathTemplate));
    LMRA_CHECK(lmra::createNumeric(numeric, clipLength, "clipLength", MFnNumericData::kInt,
                                   kDefaultClipLength));
    LMRA_CHECK(numeric.setWritable(true));
    LMRA_CHECK(numeric.setStorable(true));
    LMRA_CHECK(addAttribute(clipLength));

    LMRA_CHECK(
        lmra::createNumeric(numeric, connectionType, "connectionType", MFnNumericData::kInt, 0));
    LMRA_CHECK(addAttribute(connectionType));

    recordVideo = numeric.create("recordVideo", "rv", MFnNumericData::kBoolean, 0, &status);
    LMRA_CHECK_STATUS(status, "recordVideo");
    LMRA_CHECK(numeric.setStorable(true));
    LMRA_CHECK(addAttribute(recordVideo));

    LMRA_CHECK(lmra::createNumeric(numeric, connectionStatus, "connectionStatus",
                                   MFnNumericData::kInt, kStatusDisconnected));
    LMRA_CHECK(numeric.setStorable(false));
    LMRA_CHECK(addAttribute(connectionStatus));

    // The stream's health: outputs only, recomputed at every refresh.
    auto addHealthOutput = [&](MObject& attribute, const char* name, MFnNumericData::Type type,
                               double initial) {
        LMRA_CHECK(lmra::createNumericOutput(numeric, attribute, name, type, initial));
        LMRA_CHECK(numeric.setKeyable(false));
        return addAttribute(attribute);
    };
    LMRA_CHECK(addHealthOutput(framesReceived, "framesReceived", MFnNumericData::kInt, 0));
    LMRA_CHECK(addHealthOutput(receiveRate, "receiveRate", MFnNumericData::kDouble, 0.0));
    LMRA_CHECK(addHealthOutput(lastFrameAge, "lastFrameAge", MFnNumericData::kDouble, -1.0));
    LMRA_CHECK(addHealthOutput(lastFrameTime, "lastFrameTime", MFnNumericData::kDouble, 0.0));
    LMRA_CHECK(addHealthOutput(droppedMessages, "droppedMessages", MFnNumericData::kInt, 0));
    LMRA_CHECK(addHealthOutput(streaming, "streaming", MFnNumericData::kBoolean, 0));
    return MS::kSuccess;
}

LMRARealTimeDevice::LMRARealTimeDevice() {
    existingDevices().push_back(this);
}

LMRARealTimeDevice::~LMRARealTimeDevice() {
    auto& devices = existingDevices();
    devices.erase(std::remove(devices.begin(), devices.end(), this), devices.end());
    if (removalCallback_ != 0) MMessage::removeCallback(removalCallback_);
    // Normally ended when the node left the graph; a node destroyed without leaving it first
    // (a plug-in's own clean-up) ends it here.
    endSession();
    destroyMemoryPools();
}

void LMRARealTimeDevice::endSession() {
    // Close the session without evaluating anything of the node.
    std::shared_ptr<NetworkConnectionClientProcess> closing = replaceConnection(nullptr);
    if (closing) {
        closing->closeConnection();
        setStatus(kStatusDisconnected);
    }
    closing.reset();  // joins the session thread, which may still call onConnectionLost
}

void LMRARealTimeDevice::onPreRemoval(MObject&, void* clientData) {
    static_cast<LMRARealTimeDevice*>(clientData)->endSession();
}

void LMRARealTimeDevice::postConstructor() {
    // connectionStatus and the health outputs are dirtied with every refresh too, so that any
    // read of them publishes what the session did meanwhile.
    MObjectArray refreshOutputs;
    for (const MObject* attribute : {&refreshNode, &connectionStatus, &framesReceived, &receiveRate,
                                     &lastFrameAge, &lastFrameTime, &droppedMessages, &streaming}) {
        refreshOutputs.append(*attribute);
    }
    setRefreshOutputAttributes(refreshOutputs);
    MObject self = thisMObject();
    removalCallback_ =
        MNodeMessage::addNodePreRemovalCallback(self, &LMRARealTimeDevice::onPreRemoval, this);
    createMemoryPools(1, static_cast<int>(kMaxFrameValues), sizeof(double));

    MFnDependencyNode node(thisMObject());
    node.findPlug("live", true).setBool(true);
    node.findPlug("frameRate", true).setDouble(kLiveFrameRate);
}

void LMRARealTimeDevice::postStatusEvent() {
    if (MUserEventMessage::isUserEvent(statusEventName)) {
        MUserEventMessage::postUserEvent(statusEventName, nullptr);
    }
}

void LMRARealTimeDevice::publishStatus() {
    // Only a new status is announced: a failed attempt's session ending on a disconnected node
    // changes nothing.
    const ConnectionStatus status = status_.load();
    // A pause or an end shows in streaming at once too; frames that arrive show at a refresh.
    if (status < kStatusCapturing || paused_.load()) {
        MPlug(thisMObject(), streaming).setBool(false);
    }
    if (status == publishedStatus_) return;
    publishedStatus_ = status;
    MPlug(thisMObject(), connectionStatus).setInt(static_cast<int>(status));
    postStatusEvent();
}

std::shared_ptr<NetworkConnectionClientProcess> LMRARealTimeDevice::connection() {
    std::lock_guard<std::mutex> lock(sessionMutex_);
    return connection_;
}

std::shared_ptr<NetworkConnectionClientProcess> LMRARealTimeDevice::replaceConnection(
    std::shared_ptr<NetworkConnectionClientProcess> connection) {
    std::lock_guard<std::mutex> lock(sessionMutex_);
    std::swap(connection_, connection);
    ++connectionGeneration_;
    return connection;
}

bool LMRARealTimeDevice::connectToPhone() {
    const MObject self = thisMObject();
    ConnectionSettings settings;
    if (!readConnectionSettings(self, settings)) return false;
    const std::string port = std::to_string(settings.port);

    const std::shared_ptr<NetworkConnectionClientProcess> current = connection();
    const bool open = current && current->isRunning();
    // Checked before an open session ends, so that a refused setting leaves it running; the port
    // that session holds itself is free once it has ended.
    int receivePort = kAnyReceivePort;
    const unsigned short heldPort = open && !usbSession_.load() ? current->wifiReceivePort() : 0;
    if (!settings.usb && !readReceivePort(receivePort, heldPort)) return false;
    if (open) {
        // A session is still open (over Wi-Fi a phone that vanished is never noticed): it ends
        // first ("stop"), so that connecting again always reaches the phone anew.
        MGlobal::displayInfo("Ending the open session before connecting again.");
        current->closeConnection();
        setStatus(kStatusDisconnected);
    }
    paused_.store(false);
    usbSession_.store(settings.usb);
    auto process = std::make_shared<NetworkConnectionClientProcess>();
    // The previous process ended; it goes here, on the main thread, after the worker let go.
    replaceConnection(process).reset();
    process->setWifiReceivePort(static_cast<unsigned short>(receivePort));

    const std::uint32_t kind = settings.usb ? NetworkConnectionClientProcess::kUsbConnection
                                            : NetworkConnectionClientProcess::kWifiConnection;
    sessionPhone_ = settings.phone;
    if (!process->beginConnection(kind, settings.address, port, this)) return false;
    // The transports bound this wait with their own time-outs.
    while (!process->waitForReply(kReplyPoll)) {
    }

    const std::uint32_t reject = process->rejectCode();
    // A refused session ends at once; wait for it so that a retry right after the message
    // finds no running connection in its way.
    if (reject != 0) process->waitUntilEnded(kRefusedSessionEnd);
    if (reject == kRejectedByPhone) {
        MGlobal::displayError("Connection failed.");
        return false;
    }
    if (reject == kRejectedWrongScreen) {
        MGlobal::displayError("Connection failed. Please switch to Streaming tab.");
        return false;
    }
    if (reject != 0) return false;

    if (!process->isRunning()) {
        MGlobal::displayError("Connection timed out. Check your input parameters.");
        MGlobal::displayInfo("checkPhoneConnection " + MFnDependencyNode(self).name() +
                             " runs the connection step by step and says what to try.");
        return false;
    }
    ChannelNameLists names;
    process->getChannelLayout(names);
    ChannelOutputs rebuilt;
    rebuildChannelAttributes(self, names, rebuilt, ScalarOutputStorage::storable);
    {
        std::lock_guard<std::mutex> lock(sessionMutex_);
        outputs_ = std::move(rebuilt);
    }
    resetFrameValues();
    setStatus(kStatusConnected);
    MGlobal::displayInfo("Connection established.");
    // An app that keeps one session at a time now streams to this node alone, while the other
    // node still shows its capture; and a stop of either ends the phone's stream.
    if (const LMRARealTimeDevice* other = otherSessionWith(sessionPhone_)) {
        const MString otherName = MFnDependencyNode(other->thisMObject()).name();
        MGlobal::displayWarning(otherName +
                                " has a session with this phone too: a phone that "
                                "streams to one node at a time now streams to " +
                                MFnDependencyNode(self).name() +
                                " alone, and a stop of either "
                                "can end the other's capture. Stop " +
                                otherName + " (stopMocapSession " + otherName +
                                ") unless the phone takes several sessions.");
    }
    if (names.scalars().empty() && names.vectors().empty() && names.matrices().empty()) {
        MGlobal::displayWarning("The phone sent no channels: " + MFnDependencyNode(self).name() +
                                " has no channel outputs.");
    }
    return true;
}

bool LMRARealTimeDevice::readReceivePort(int& port, unsigned short heldPort) {
    const MPlug plug(thisMObject(), wifiReceivePort);
    port = plug.asInt();
    MString text;
    if (!isReceivePortSetting(port)) {
        text = plug.name() + " is ";
        text += port;
        MGlobal::displayError(text +
                              ": a receive port is 0 (any free port) or a number from 1 to 65535.");
        return false;
    }
    if (port == kAnyReceivePort || port == heldPort) return true;
    // Checked here so that the message names the port; the session binds it again right after.
    const ReceivePortBinding binding = probeReceivePort(static_cast<unsigned short>(port));
    if (binding.bound) return true;
    text = "UDP port ";
    text += port;
    text += " (" + plug.name() + ") ";
    text += binding.inUse ? MString("is in use on this computer")
                          : MString("cannot be used (") + binding.reason.c_str() + ")";
    MGlobal::displayError(text + ": close the program that holds it, or set " + plug.name() +
                          " to another port (0 picks a free one).");
    return false;
}

std::vector<std::string> LMRARealTimeDevice::checkConnection() {
    const MObject self = thisMObject();
    if (std::shared_ptr<NetworkConnectionClientProcess> current = connection()) {
        if (current->isRunning()) {
            MString text = MFnDependencyNode(self).name() + " is connected (connectionStatus ";
            text += static_cast<int>(status_.load());
            text += "): the check leaves a running session alone; stop it to check again.";
            return {std::string("Session: ok: ") + text.asChar()};
        }
    }
    const bool usb = MPlug(self, connectionType).asInt() != 0;
    const std::string address = MPlug(self, ipAddress).asString().asChar();
    const MPlug portPlug(self, usb ? usbPort : wifiPort);
    // The check sends the phone "connect" and then "stop": on an app with one session at a time
    // that would end the capture of the node that talks to it.
    if (otherSessionWith("")) {  // the address is resolved only when there is one at all
        const std::string phone =
            usb ? kUsbPhone : resolvedPhoneAddress(address, std::to_string(portPlug.asInt()));
        if (const LMRARealTimeDevice* other = phone.empty() ? nullptr : otherSessionWith(phone)) {
            const MString name = MFnDependencyNode(other->thisMObject()).name();
            MString text = name + " has a session with this phone (connectionStatus ";
            text += static_cast<int>(other->status_.load());
            text +=
                "): the check would send the phone \"connect\" and \"stop\", which can end "
                "that session. Next: stop it first (stopMocapSession " +
                name + "), or check the phone with " + name + " once it is stopped.";
            return {std::string("Session: warning: ") + text.asChar()};
        }
    }
    ConnectionCheckSettings settings;
    settings.address = address;
    settings.addressName = MPlug(self, ipAddress).name().asChar();
    settings.port = portPlug.asInt();
    settings.portName = portPlug.name().asChar();
    settings.receivePort = MPlug(self, wifiReceivePort).asInt();
    settings.receivePortName = MPlug(self, wifiReceivePort).name().asChar();
    settings.replyTimeout =
        usb ? UsbTimeouts().replySilence
            : std::chrono::duration_cast<std::chrono::milliseconds>(UDPClient::kReplyTimeout);
    const std::vector<CheckStep> steps =
        usb ? checkUsbConnection(settings) : checkWifiConnection(settings);
    std::vector<std::string> lines;
    for (const CheckStep& step : steps) lines.push_back(step.line());
    return lines;
}

void LMRARealTimeDevice::warnNoSession(const char* action) const {
    MGlobal::displayWarning("Cannot " + MString(action) + " " +
                            MFnDependencyNode(thisMObject()).name() +
                            ": it has no open session with a phone. Connect it first "
                            "(establishConnection).");
}

LMRARealTimeDevice* LMRARealTimeDevice::otherSessionWith(const std::string& phone) const {
    for (LMRARealTimeDevice* other : existingDevices()) {
        if (other == this || (!phone.empty() && other->sessionPhone_ != phone)) continue;
        const std::shared_ptr<NetworkConnectionClientProcess> session = other->connection();
        if (session && session->isRunning()) return other;
    }
    return nullptr;
}

bool LMRARealTimeDevice::startSession() {
    std::shared_ptr<NetworkConnectionClientProcess> process = connection();
    const bool withVideo = MPlug(thisMObject(), recordVideo).asBool();
    if (!hasOpenSession() || !process->startCapture(withVideo)) {
        warnNoSession("start capturing on");
        return false;
    }
    // The silence watch counts from here, also when resuming after a pause.
    capturingSince_.store(StreamClock::now().time_since_epoch().count());
    paused_.store(false);
    setStatus(withVideo ? kStatusCapturingWithVideo : kStatusCapturing);
    return true;
}

bool LMRARealTimeDevice::pauseSession() {
    std::shared_ptr<NetworkConnectionClientProcess> process = connection();
    if (!hasOpenSession() || !process->pauseCapture()) {
        warnNoSession("pause");
        return false;
    }
    paused_.store(true);
    return true;
}

bool LMRARealTimeDevice::stopSession() {
    std::shared_ptr<NetworkConnectionClientProcess> process = connection();
    if (!process) return false;
    process->closeConnection();
    paused_.store(false);
    setStatus(kStatusDisconnected);
    return true;
}

void LMRARealTimeDevice::onConnectionLost() {
    setStatus(kStatusDisconnected);
}

bool LMRARealTimeDevice::copyRecording(CaptureRecording& recording) {
    std::shared_ptr<NetworkConnectionClientProcess> process = connection();
    return process && process->copyRecording(recording);
}

bool LMRARealTimeDevice::hasOpenSession() {
    std::shared_ptr<NetworkConnectionClientProcess> process = connection();
    return process && process->isRunning();
}

bool LMRARealTimeDevice::saveCapture(std::string path, double startTime, double endTime) {
    std::shared_ptr<NetworkConnectionClientProcess> process = connection();
    return process && process->saveCapture(std::move(path), startTime, endTime);
}

void LMRARealTimeDevice::waitWhileNotLive(std::uint64_t handler) {
    std::unique_lock<std::mutex> lock(idleMutex_);
    idleWake_.wait_for(lock, kNotLiveWait, [&] { return stopRequestedFor(handler); });
}

void LMRARealTimeDevice::threadHandler() {
    std::uint64_t handler = 0;
    {
        std::lock_guard<std::mutex> lock(idleMutex_);
        handler = ++handlersStarted_;
        // A stop that came before this handler began must not be undone here.
        setDone(stopRequestedFor(handler));
    }
    while (!isDone()) {
        if (!isLive()) {
            waitWhileNotLive(handler);
            continue;
        }
        beginThreadLoop();
        // The queued buffer is only the refresh handshake: compute pops it and then takes the
        // session's newest frame itself, so a refresh never shows a frame older than the
        // newest one. While the last buffer still waits to be popped (nothing read the node)
        // there is nothing to queue, and the refresh still comes at the frame rate, so that
        // the status and the session's health keep being published.
        MCharBuffer buffer;
        if (acquireDataStorage(buffer)) pushThreadData(buffer);
        watchForSilence();
        endThreadLoop();
    }
    setDone(true);
}

void LMRARealTimeDevice::watchForSilence() {
    const StreamClock::time_point now = StreamClock::now();
    StreamHealth health;
    {
        std::lock_guard<std::mutex> lock(sessionMutex_);
        if (connectionGeneration_ != watchedGeneration_) {
            watchedGeneration_ = connectionGeneration_;
            silence_.reset();
        }
        if (!connection_) return;
        health = connection_->health(now);
    }
    const bool watching = status_.load() >= kStatusCapturing && !paused_.load();
    const StreamClock::time_point since{StreamClock::duration(capturingSince_.load())};
    const bool usb = usbSession_.load();
    switch (silence_.update(watching, since, health.hasFrame, health.newestArrival, now)) {
        case SilenceWatch::Change::fellSilent:
            postMessage(MessageKind::warning, SilenceWatch::silenceWarning(usb));
            break;
        case SilenceWatch::Change::framesBack:
            postMessage(MessageKind::info, SilenceWatch::framesBackInfo(usb));
            break;
        case SilenceWatch::Change::none:
            break;
    }
}

void LMRARealTimeDevice::threadShutdownHandler() {
    {
        std::lock_guard<std::mutex> lock(idleMutex_);
        // Meant for the handler that runs now or, when it has not begun yet, for the one about
        // to begin; never for a later start.
        stopsRequested_ = std::min(stopsRequested_ + 1, handlersStarted_ + 1);
        setDone(true);
    }
    idleWake_.notify_all();
}

ConnectionStatus LMRARealTimeDevice::publishStatus(MDataBlock& data) {
    // connectionStatus is dirtied with every refresh, so a lost connection shows at the next
    // read of it on the main thread.
    const ConnectionStatus status = status_.load();
    if (status == publishedStatus_) return status;
    publishedStatus_ = status;
    data.outputValue(connectionStatus).set(static_cast<int>(status));
    data.setClean(connectionStatus);
    postStatusEvent();
    return status;
}

MStatus LMRARealTimeDevice::popFrame(const MPlug& plug, MDataBlock& data) {
    MCharBuffer buffer;
    if (!popThreadData(buffer)) return MStatus::kFailure;
    // The buffer may have waited in the queue since long before anything read the outputs (a
    // refresh only marks them dirty): the session's newest frame is read now, on the main
    // thread, so that a read never shows a frame older than the newest one that arrived.
    releaseDataStorage(buffer);
    refreshedAt_ = StreamClock::now();
    {
        std::lock_guard<std::mutex> lock(sessionMutex_);
        if (connection_) {
            const std::size_t count = std::min(outputs_.flatValueCount(), frameValues_.size());
            connection_->readNewestFrame(frameValues_.data(), sizeof(double) * count, health_,
                                         refreshedAt_);
        } else {
            health_ = StreamHealth();
        }
    }
    ++frameGeneration_;

    data.setClean(plug);
    return MStatus::kSuccess;
}

std::size_t LMRARealTimeDevice::matrixOffset() const {
    return outputs_.scalarOutputs.size() + kVectorComponents * outputs_.vectorOutputs.size();
}

const double* LMRARealTimeDevice::vectorValues(std::size_t channel) const {
    return &frameValues_[outputs_.scalarOutputs.size() + kVectorComponents * channel];
}

const double* LMRARealTimeDevice::matrixValues(std::size_t channel) const {
    return &frameValues_[matrixOffset() + kMatrixElements * channel];
}

bool LMRARealTimeDevice::layoutFitsFrame() const {
    return outputs_.flatValueCount() <= frameValues_.size() &&
           outputs_.matrixOutputs.size() <= matrixOutputValues_.size();
}

void LMRARealTimeDevice::resetFrameValues() {
    frameValues_.fill(0.0);
    const std::size_t matrices = layoutFitsFrame() ? outputs_.matrixOutputs.size() : 0;
    for (std::size_t m = 0; m < matrices; ++m) {
        for (std::size_t i = 0; i < 4; ++i)
            frameValues_[matrixOffset() + kMatrixElements * m + i * 5] = 1.0;
    }
    ++frameGeneration_;  // the matrix channels' decomposed outputs are stale
}

const MatrixChannelOutputs& LMRARealTimeDevice::matrixOutputs(std::size_t channel) {
    if (matrixGeneration_[channel] != frameGeneration_) {
        matrixOutputValues_[channel] = matrixChannelOutputs(matrixValues(channel));
        matrixGeneration_[channel] = frameGeneration_;
    }
    return matrixOutputValues_[channel];
}

double LMRARealTimeDevice::channelValue(const ChannelOutputPosition& position, const MPlug& plug,
                                        MDataBlock& data) {
    if (!layoutFitsFrame()) return 0.0;
    switch (position.kind) {
        case ChannelOutputPosition::Kind::scalar:
            if (position.group >= outputs_.scalarOutputs.size()) return 0.0;
            return scalarOutputValue(thisMObject(), plug, data, frameValues_[position.group]);
        case ChannelOutputPosition::Kind::vector:
            if (position.group >= outputs_.vectorOutputs.size()) return 0.0;
            return vectorChannelOutput(vectorValues(position.group),
                                       static_cast<unsigned>(position.index));
        case ChannelOutputPosition::Kind::matrix:
            if (position.group >= outputs_.matrixOutputs.size() ||
                position.index >= kMatrixOutputCount)
                return 0.0;
            return matrixOutputs(position.group)[position.index];
        case ChannelOutputPosition::Kind::none:
            break;
    }
    return 0.0;
}

MStatus LMRARealTimeDevice::compute(const MPlug& plug, MDataBlock& data) {
    const QueuedMessagesShown shownMessages;  // what the plug-in's threads posted
    const ConnectionStatus status = publishStatus(data);
    if (plug == connectionStatus) {
        data.outputValue(plug).set(static_cast<int>(status));
        data.setClean(plug);
        return MStatus::kSuccess;
    }
    if (plug == refreshNode) return popFrame(plug, data);
    if (isHealthOutput(plug)) return computeHealth(plug, data, status);
    if (isMultiplierChild(plug)) return MStatus::kUnknownParameter;

    const ChannelOutputPosition position = findChannelOutput(outputs_, plug.attribute());
    if (position.kind == ChannelOutputPosition::Kind::none) return MStatus::kUnknownParameter;
    if (status == kStatusConnected) {
        data.outputValue(plug).set(0.0);
    } else if (status > kStatusConnected) {
        data.inputValue(refreshNode);
        data.outputValue(plug).set(channelValue(position, plug, data));
    }
    data.setClean(plug);
    return MStatus::kSuccess;
}

bool LMRARealTimeDevice::isHealthOutput(const MPlug& plug) const {
    return plug == framesReceived || plug == receiveRate || plug == lastFrameAge ||
           plug == lastFrameTime || plug == droppedMessages || plug == streaming;
}

MStatus LMRARealTimeDevice::computeHealth(const MPlug& plug, MDataBlock& data,
                                          ConnectionStatus status) {
    // Taken at the refresh, with the frame that the channel outputs show.
    data.inputValue(refreshNode);
    const double ageMs =
        std::chrono::duration<double, std::milli>(refreshedAt_ - health_.newestArrival).count();
    MDataHandle output = data.outputValue(plug);
    if (plug == framesReceived) {
        output.set(static_cast<int>(std::min<std::uint64_t>(health_.framesReceived, kMaxCount)));
    } else if (plug == receiveRate) {
        output.set(health_.receiveRate);
    } else if (plug == lastFrameAge) {
        output.set(health_.hasFrame ? ageMs : -1.0);
    } else if (plug == lastFrameTime) {
        output.set(health_.newestTimestamp);
    } else if (plug == droppedMessages) {
        output.set(static_cast<int>(std::min<std::uint64_t>(health_.droppedMessages, kMaxCount)));
    } else {
        const bool recent =
            health_.hasFrame && refreshedAt_ - health_.newestArrival < kStreamingWithin;
        output.set(status >= kStatusCapturing && !paused_.load() && recent);
    }
    data.setClean(plug);
    return MStatus::kSuccess;
}

MStatus LMRARealTimeDevice::setDependentsDirty(const MPlug& plug, MPlugArray& affected) {
    if (plug == refreshNode || plug == live) {
        const MObject self = thisMObject();
        // Channels left without outputs hold null handles.
        auto affect = [&](const MObject& attribute) {
            if (!attribute.isNull()) affected.append(MPlug(self, attribute));
        };
        for (const MatrixOutputGroup& group : outputs_.matrixOutputs) {
            for (const MObject& attribute : group) affect(attribute);
        }
        for (const VectorOutputGroup& group : outputs_.vectorOutputs) {
            for (const MObject& attribute : group) affect(attribute);
        }
        for (const MObject& attribute : outputs_.scalarOutputs) affect(attribute);
    } else if (plug.isDynamic() && plug.isChild()) {
        addMultiplierDependent(thisMObject(), plug, affected);
    }
    return MPxThreadedDeviceNode::setDependentsDirty(plug, affected);
}
