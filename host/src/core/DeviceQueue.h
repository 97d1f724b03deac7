#pragma once
// A threaded device node's memory pool and data queue, shared by its worker thread and the
// main thread: buffers go free -> acquired -> queued (oldest first) -> popped -> free.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include <maya/MObjectArray.h>
#include <maya/MStatus.h>

namespace headless::detail {

class DeviceQueue {
  public:
    MStatus createPools(int count, int elements, long elementSize);
    MStatus destroyPools();
    // Hands out a free buffer; fails while none is free. With a wait, waits that long at most
    // for a buffer to come back (not while waits are interrupted).
    MStatus acquire(char*& data, long& size,
                    std::chrono::milliseconds wait = std::chrono::milliseconds(0));
    MStatus release(char* data);
    MStatus push(char* data);
    // Hands out the oldest queued buffer; fails while the queue is empty.
    MStatus pop(char*& data, long& size);
    long queuedCount() const;
    // A stopping worker must not sit in acquire: interrupting ends every wait at once.
    void interruptWaits();
    void allowWaits();

    // Written by either thread, so atomic.
    std::atomic<bool> done{true};
    std::atomic<bool> live{false};
    // Main thread only.
    MObjectArray refreshOutputs;

  private:
    // The index of `data` when it is a buffer the worker holds: one of the pool's, neither free
    // nor queued; -1 otherwise. Only such a buffer may be released or pushed: anything else is a
    // caller's mistake the queue refuses. Called under mutex_.
    int heldByWorker(const char* data) const;
    // Gives the caller buffer `index`; called under mutex_.
    void handOut(int index, char*& data, long& size) const;

    mutable std::mutex mutex_;  // guards everything below
    std::vector<std::unique_ptr<char[]>> buffers_;
    long bufferSize_ = 0;
    std::vector<int> free_;
    std::deque<int> queued_;
    bool interrupted_ = false;
    std::condition_variable released_;  // a buffer became free, or waits were interrupted
};

}  // namespace headless::detail
