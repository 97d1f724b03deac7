#include <maya/MPxThreadedDeviceNode.h>

#include "core/Attribute.h"
#include "core/BaseAttributes.h"
#include "core/DeviceQueue.h"
#include "threaded/DeviceThread.h"

using namespace headless::detail;

namespace {

MObject hiddenOutput() {
    MObject object = baseNumeric("output", "o", MFnNumericData::kDouble, 0.0);
    auto attribute = hostCast<Attribute>(object);
    attribute->hidden = true;
    attribute->storable = false;
    return object;
}

// How long the node's own worker waits in acquireDataStorage for compute to give a buffer
// back before it fails, so that a handler retrying at once does not spin.
constexpr std::chrono::milliseconds kWorkerAcquireWait{50};

}  // namespace

MObject MPxThreadedDeviceNode::live = baseNumeric("live", "lv", MFnNumericData::kBoolean, 0);
MObject MPxThreadedDeviceNode::frameRate = baseNumeric("frameRate", "fr", MFnNumericData::kDouble, 15.0);
MObject MPxThreadedDeviceNode::output = hiddenOutput();

MPxThreadedDeviceNode::MPxThreadedDeviceNode()
    : queue_(std::make_unique<DeviceQueue>()), thread_(std::make_unique<DeviceThread>()) {}

MPxThreadedDeviceNode::~MPxThreadedDeviceNode() = default;

MPxNode::Type MPxThreadedDeviceNode::type() const { return kThreadedDeviceNode; }

void MPxThreadedDeviceNode::threadHandler() {}

void MPxThreadedDeviceNode::threadShutdownHandler() { setDone(true); }

MStatus MPxThreadedDeviceNode::setDone(bool done) {
    queue_->done.store(done);
    return MStatus::kSuccess;
}

// A stop the host asked for counts even when the handler cleared the flag after it.
bool MPxThreadedDeviceNode::isDone() { return queue_->done.load() || thread_->stopping(); }

bool MPxThreadedDeviceNode::isLive() { return queue_->live.load(); }

MStatus MPxThreadedDeviceNode::beginThreadLoop() { return MStatus::kSuccess; }

// Waits for the next tick of frameRate, then asks the main loop to refresh the node; returns at
// once when the worker is being stopped. Only the node's own worker thread is paced.
MStatus MPxThreadedDeviceNode::endThreadLoop() {
    if (!thread_->onWorker()) return MStatus::kFailure;
    if (thread_->waitForNextTick()) thread_->requestRefresh();
    return MStatus::kSuccess;
}

MStatus MPxThreadedDeviceNode::createMemoryPools(int nCount, int nElements, long nSize) {
    return queue_->createPools(nCount, nElements, nSize);
}

MStatus MPxThreadedDeviceNode::destroyMemoryPools() { return queue_->destroyPools(); }

MStatus MPxThreadedDeviceNode::acquireDataStorage(MCharBuffer& buffer) {
    const auto wait = thread_->onWorker() ? kWorkerAcquireWait : std::chrono::milliseconds(0);
    return queue_->acquire(buffer.ptr_, buffer.size_, wait);
}

MStatus MPxThreadedDeviceNode::releaseDataStorage(MCharBuffer& buffer) {
    const MStatus status = queue_->release(buffer.ptr_);
    if (status) {
        buffer.ptr_ = nullptr;
        buffer.size_ = 0;
    }
    return status;
}

MStatus MPxThreadedDeviceNode::pushThreadData(MCharBuffer& buffer) { return queue_->push(buffer.ptr_); }

MStatus MPxThreadedDeviceNode::popThreadData(MCharBuffer& buffer) { return queue_->pop(buffer.ptr_, buffer.size_); }

long MPxThreadedDeviceNode::threadDataCount() { return queue_->queuedCount(); }

MStatus MPxThreadedDeviceNode::setRefreshOutputAttributes(const MObjectArray& attributes) {
    queue_->refreshOutputs = attributes;
    return MStatus::kSuccess;
}
