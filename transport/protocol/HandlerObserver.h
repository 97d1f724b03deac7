#pragma once
// A base for observers that stand in for the connection process where only the message handler
// talks to them (the connection check, tests, benchmarks, fuzzers): the operations that the
// handler never calls do nothing and report that nothing was done.

#include <cstdint>
#include <string>

#include "transport/records/CaptureRecords.h"
#include "transport/records/StreamInterfaces.h"

class HandlerObserver : public CaptureDataStreamInterface {
  public:
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
