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

}  // namespace

MObject MPxThreadedDeviceNode::live = baseNumeric("live", "lv", MFnNumericData::kBoolean, 0);
MObject MPxThreadedDeviceNode::frameRate =
    baseNumeric("frameRate", "fr", MFnNumericData::kDouble, 15.0);
MObject MPxThreadedDeviceNode::output = hiddenOutput();

MPxThreadedDeviceNode::MPxThreadedDeviceNode()
    : queue_(std::make_unique<DeviceQueue>()), thread_(std::make_unique<DeviceThread>()) {}

MPxThreadedDeviceNode::~MPxThreadedDeviceNode() = default;

MPxNode::Type MPxThreadedDeviceNode::type() const {
    return kThreadedDeviceNode;
}

void MPxThreadedDeviceNode::threadHandler() {}

void MPxThreadedDeviceNode::threadShutdownHandler() {
    setDone(true);
}

MStatus MPxThreadedDeviceNode::setDone(bool done) {
    queue_->done.store(done);
    return MStatus::kSuccess;
}

// The flag alone: a stop that the handler's own setDone(false) overwrites is the handler's
// problem, as in Maya.
bool MPxThreadedDeviceNode::isDone() {
    return queue_->done.load();
}

bool MPxThreadedDeviceNode::isLive() {
    return queue_->live.load();
}

MStatus MPxThreadedDeviceNode::beginThreadLoop() {
    return MStatus::kSuccess;
}

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

MStatus MPxThreadedDeviceNode::destroyMemoryPools() {
    return queue_->destroyPools();
}

// Fails at once when no buffer is free; a handler must wait in its own way before it retries.
MStatus MPxThreadedDeviceNode::acquireDataStorage(MCharBuffer& buffer) {
    return queue_->acquire(buffer.ptr_, buffer.size_);
}

MStatus MPxThreadedDeviceNode::releaseDataStorage(MCharBuffer& buffer) {
    const MStatus status = queue_->release(buffer.ptr_);
    if (status) {
        buffer.ptr_ = nullptr;
        buffer.size_ = 0;
    }
    return status;
}

MStatus MPxThreadedDeviceNode::pushThreadData(MCharBuffer& buffer) {
    return queue_->push(buffer.ptr_);
}

MStatus MPxThreadedDeviceNode::popThreadData(MCharBuffer& buffer) {
    return queue_->pop(buffer.ptr_, buffer.size_);
}

long MPxThreadedDeviceNode::threadDataCount() {
    return queue_->queuedCount();
}

MStatus MPxThreadedDeviceNode::setRefreshOutputAttributes(const MObjectArray& attributes) {
    queue_->refreshOutputs = attributes;
    return MStatus::kSuccess;
}
