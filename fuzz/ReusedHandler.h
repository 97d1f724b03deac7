#pragma once
// A fresh MocapDataHandler for each input, built in the same static storage each time: the
// handler holds some 330 KB of frame storage, and fresh pages for every input would cost far
// more than the input itself.

#include <memory>
#include <new>

#include "transport/protocol/MocapDataHandler.h"

struct HandlerInPlaceDeleter {
    void operator()(MocapDataHandler* handler) const { handler->~MocapDataHandler(); }
};
using ReusedHandler = std::unique_ptr<MocapDataHandler, HandlerInPlaceDeleter>;

// At most one at a time: the next one is built where the last one was.
inline ReusedHandler makeReusedHandler(CaptureDataStreamInterface* observer) {
    alignas(MocapDataHandler) static unsigned char storage[sizeof(MocapDataHandler)];
    return ReusedHandler(new (storage) MocapDataHandler(observer));
}
