#include "core/DeviceQueue.h"

#include <algorithm>
#include <limits>

namespace headless::detail {

MStatus DeviceQueue::createPools(int count, int elements, long elementSize) {
    if (count <= 0 || elements <= 0 || elementSize <= 0 ||
        static_cast<long>(elements) > std::numeric_limits<long>::max() / elementSize) {
        return MStatus::kInvalidParameter;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    buffers_.clear();
    free_.clear();
    queued_.clear();
    bufferSize_ = static_cast<long>(elements) * elementSize;
    for (int i = 0; i < count; ++i) {
        buffers_.push_back(std::make_unique<char[]>(static_cast<std::size_t>(bufferSize_)));
        free_.push_back(i);
    }
    released_.notify_all();
    return MStatus::kSuccess;
}

MStatus DeviceQueue::destroyPools() {
    std::lock_guard<std::mutex> lock(mutex_);
    buffers_.clear();
    free_.clear();
    queued_.clear();
    bufferSize_ = 0;
    return MStatus::kSuccess;
}

int DeviceQueue::heldByWorker(const char* data) const {
    const auto at = std::find_if(buffers_.begin(), buffers_.end(),
                                 [data](const auto& buffer) { return buffer.get() == data; });
    if (at == buffers_.end()) return -1;
    const int index = static_cast<int>(at - buffers_.begin());
    const bool free = std::find(free_.begin(), free_.end(), index) != free_.end();
    const bool queued = std::find(queued_.begin(), queued_.end(), index) != queued_.end();
    return free || queued ? -1 : index;
}

void DeviceQueue::handOut(int index, char*& data, long& size) const {
    data = buffers_[static_cast<std::size_t>(index)].get();
    size = bufferSize_;
}

MStatus DeviceQueue::acquire(char*& data, long& size, std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (free_.empty() && !buffers_.empty() && wait.count() > 0) {
        released_.wait_for(lock, wait, [this] { return !free_.empty() || interrupted_; });
    }
    if (free_.empty()) return MStatus::kFailure;
    handOut(free_.back(), data, size);
    free_.pop_back();
    return MStatus::kSuccess;
}

MStatus DeviceQueue::release(char* data) {
    std::lock_guard<std::mutex> lock(mutex_);
    const int index = heldByWorker(data);
    if (index < 0) return MStatus::kInvalidParameter;
    free_.push_back(index);
    released_.notify_all();
    return MStatus::kSuccess;
}

MStatus DeviceQueue::push(char* data) {
    std::lock_guard<std::mutex> lock(mutex_);
    const int index = heldByWorker(data);
    if (index < 0) return MStatus::kInvalidParameter;
    queued_.push_back(index);
    return MStatus::kSuccess;
}

MStatus DeviceQueue::pop(char*& data, long& size) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (queued_.empty()) return MStatus::kFailure;
    handOut(queued_.front(), data, size);
    queued_.pop_front();
    return MStatus::kSuccess;
}

long DeviceQueue::queuedCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<long>(queued_.size());
}

void DeviceQueue::interruptWaits() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        interrupted_ = true;
    }
    released_.notify_all();
}

void DeviceQueue::allowWaits() {
    std::lock_guard<std::mutex> lock(mutex_);
    interrupted_ = false;
}

}  // namespace headless::detail
