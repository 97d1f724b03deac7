#pragma once
// A stand-in for the connection process that keeps every call the message handler makes.

#include <cstring>
#include <string>
#include <vector>

#include "transport/protocol/HandlerObserver.h"
#include "transport/records/CaptureRecords.h"

class RecordingObserver : public HandlerObserver {
  public:
    std::vector<std::string> calls;
    ChannelNameLists layout;
    ChannelNameLists accepted;
    std::uint32_t rejected = 0;
    std::vector<double> latest;
    std::vector<CaptureFrame> frames;

    bool setChannelLayout(ChannelNameLists& names) override {
        calls.push_back("setChannelLayout");
        layout = names;
        return true;
    }
    bool acceptConnection(ChannelNameLists& names) override {
        calls.push_back("acceptConnection");
        accepted = names;
        return true;
    }
    bool rejectConnection(std::uint32_t code) override {
        calls.push_back("rejectConnection");
        rejected = code;
        return true;
    }
    std::uint64_t storeLatestFrame(const double* values, std::uint64_t byteCount) override {
        calls.push_back("storeLatestFrame");
        latest.assign(values, values + byteCount / sizeof(double));
        return byteCount;
    }
    bool appendRecordedFrame(CaptureFrame& frame) override {
        calls.push_back("appendRecordedFrame");
        frames.push_back(std::move(frame));
        return true;
    }

    const CaptureFrame& lastFrame() const { return frames.back(); }
    std::vector<double> lastValues() const {
        const auto& frame = frames.back();
        return std::vector<double>(frame.values.get(), frame.values.get() + frame.valueCount);
    }
};
