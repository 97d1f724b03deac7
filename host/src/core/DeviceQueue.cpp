#include "core/DeviceQueue.h"

#include <algorithm>
#include <limits>

namespace headless::detail {

namespace {

// A buffer the worker holds: one of the pool's, neither free nor queued. Only such a buffer may
// be released or pushed; anything else is a caller's mistake the queue refuses.
bool heldByWorker(int index, const std::vector<int>& free, const std::deque<int>& queued) {
    return index >= 0 && std::find(free.begin(), free.end(), index) == free.end() &&
           std::find(queued.begin(), queued.end(), index) == queued.end();
}

}  // namespace

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

int DeviceQueue::indexOf(const char* data) const {
    for (std::size_t i = 0; i < buffers_.size(); ++i) {
        if (buffers_[i].get() == data) return static_cast<int>(i);
    }
    return -1;
}

MStatus DeviceQueue::acquire(char*& data, long& size, std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (free_.empty() && !buffers_.empty() && wait.count() > 0) {
        released_.wait_for(lock, wait, [this] { return !free_.empty() || interrupted_; });
    }
    if (free_.empty()) return MStatus::kFailure;
    const int index = free_.back();
    free_.pop_back();
    data = buffers_[static_cast<std::size_t>(index)].get();
    size = bufferSize_;
    return MStatus::kSuccess;
}

MStatus DeviceQueue::release(char* data) {
    std::lock_guard<std::mutex> lock(mutex_);
    const int index = indexOf(data);
    if (!heldByWorker(index, free_, queued_)) return MStatus::kInvalidParameter;
    free_.push_back(index);
    released_.notify_all();
    return MStatus::kSuccess;
}

MStatus DeviceQueue::push(char* data) {
    std::lock_guard<std::mutex> lock(mutex_);
    const int index = indexOf(data);
    if (!heldByWorker(index, free_, queued_)) return MStatus::kInvalidParameter;
    queued_.push_back(index);
    return MStatus::kSuccess;
}

MStatus DeviceQueue::pop(char*& data, long& size) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (queued_.empty()) return MStatus::kFailure;
    const int index = queued_.front();
    queued_.pop_front();
    data = buffers_[static_cast<std::size_t>(index)].get();
    size = bufferSize_;
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
