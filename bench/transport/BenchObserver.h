#pragma once
// A connection process stand-in that does what the real one does per frame (copy the latest
// frame, take over the recorded frame) without keeping a growing recording.

#include <array>
#include <cstring>

#include "transport/protocol/HandlerObserver.h"
#include "transport/records/CaptureRecords.h"

class BenchObserver : public HandlerObserver {
  public:
    std::array<double, kMaxFrameValues> latest{};
    std::uint64_t frames = 0;

    bool setChannelLayout(ChannelNameLists&) override { return true; }
    bool acceptConnection(ChannelNameLists&) override { return true; }
    bool rejectConnection(std::uint32_t) override { return true; }
    std::uint64_t storeLatestFrame(const double* values, std::uint64_t byteCount) override {
        std::memcpy(latest.data(), values, byteCount);
        return byteCount;
    }
    bool appendRecordedFrame(CaptureFrame& frame) override {
        CaptureFrame taken(std::move(frame));  // released here, as the recording's oldest would be
        ++frames;
        return true;
    }
};
