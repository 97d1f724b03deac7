#pragma once
// A connection process stand-in that does what the real one does per frame (copy the latest
// frame, take over the recorded frame) without keeping a growing recording.

#include <array>
#include <cstring>

#include "CaptureRecords.h"
#include "StreamInterfaces.h"

class BenchObserver : public CaptureDataStreamInterface {
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
    std::uint64_t readLatestFrame(double*, std::uint64_t) override { return 0; }
    void getChannelLayout(ChannelNameLists&) override {}
    bool openConnection(std::string, std::string, DataStreamClient*) override { return false; }
    bool startCapture(bool) override { return false; }
    bool pauseCapture() override { return false; }
    bool saveCapture(std::string, double, double) override { return false; }
    bool closeConnection() override { return false; }
    bool copyRecording(CaptureRecording&) override { return false; }
    bool isWaitingForReply() override { return false; }
    std::uint32_t rejectCode() override { return 0; }
    bool isRunning() override { return false; }
};
