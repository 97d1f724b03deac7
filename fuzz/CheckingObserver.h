#pragma once
// The message handler's observer in the fuzzers: checks that every frame handed on matches the
// accepted channel layout and stays within the storage limits, reading each value so that the
// sanitizers see any read beyond the frame. Any broken rule aborts, which the fuzzer reports.
// One per input: what it keeps is freed with the input, so the fuzzer's leak check stays quiet.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "transport/protocol/HandlerObserver.h"
#include "transport/records/CaptureRecords.h"

class CheckingObserver final : public HandlerObserver {
  public:
    bool accepted() const { return accepted_; }
    bool rejected() const { return rejected_; }
    const ChannelNameLists& names() const { return names_; }

    bool setChannelLayout(ChannelNameLists& names) override {
        require(!accepted_ && !rejected_, "a channel layout after the connect reply");
        require(names.vectors().size() <= kMaxVectorChannels, "more vector channels than stored");
        require(names.matrices().size() <= kMaxMatrixChannels, "more matrix channels than stored");
        require(names.flatValueCount() <= kMaxFrameValues, "a frame wider than its storage");
        names_ = names;
        layoutSet_ = true;
        return true;
    }
    bool acceptConnection(ChannelNameLists& names) override {
        require(layoutSet_ && names == names_, "an accepted layout that differs from the set one");
        require(!rejected_, "a connection both accepted and rejected");
        accepted_ = true;
        return true;
    }
    bool rejectConnection(std::uint32_t code) override {
        require(code == 1 || code == 2, "a rejection code other than 1 or 2");
        require(!accepted_, "a connection both accepted and rejected");
        rejected_ = true;
        return true;
    }
    std::uint64_t storeLatestFrame(const double* values, std::uint64_t byteCount) override {
        require(accepted_, "a frame before the connection was accepted");
        require(byteCount == names_.flatValueCount() * sizeof(double),
                "a latest frame whose size differs from the layout");
        readValues(values, byteCount / sizeof(double));
        return byteCount;
    }
    bool appendRecordedFrame(CaptureFrame& frame) override {
        require(accepted_, "a recorded frame before the connection was accepted");
        require(frame.valueCount == names_.flatValueCount(),
                "a recorded frame whose width differs from the layout");
        readValues(frame.values.get(), frame.valueCount);
        return true;
    }

    void getChannelLayout(ChannelNameLists& names) override { names = names_; }

  private:
    static void require(bool condition, const char* broken) {
        if (condition) return;
        std::fprintf(stderr, "CheckingObserver: %s\n", broken);
        std::abort();
    }

    void readValues(const double* values, std::size_t count) {
        require(count == 0 || values != nullptr, "a frame without its values");
        double sum = 0.0;
        for (std::size_t i = 0; i < count; ++i) sum += values[i];
        valueSum_ = sum;
    }

    ChannelNameLists names_;
    bool layoutSet_ = false;
    bool accepted_ = false;
    bool rejected_ = false;
    volatile double valueSum_ = 0.0;  // keeps the reads of the values
};
