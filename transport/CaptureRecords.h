#pragma once
// Records that cross the transport, the device node and the clip writer.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

// Channel kinds, always in this order; every per-kind list is indexed by kind.
enum ChannelKind : int { kScalarChannel = 0, kVectorChannel = 1, kMatrixChannel = 2 };
constexpr int kChannelKindCount = 3;

// Storage limits shared by every holder of a flat frame.
constexpr std::size_t kMaxFrameValues = 22001;
constexpr std::size_t kMaxFrameBytes = kMaxFrameValues * sizeof(double);  // 176008
constexpr std::size_t kMaxVectorChannels = 1000;
constexpr std::size_t kMaxMatrixChannels = 1000;
constexpr std::size_t kMaxRecordedFrames = 216000;

constexpr std::size_t kVectorComponents = 3;
constexpr std::size_t kMatrixElements = 16;

// Three ordered lists of channel names (scalar, vector, matrix), duplicates included.
struct ChannelNameLists {
    std::array<std::vector<std::string>, kChannelKindCount> lists;

    std::vector<std::string>& scalars() { return lists[kScalarChannel]; }
    std::vector<std::string>& vectors() { return lists[kVectorChannel]; }
    std::vector<std::string>& matrices() { return lists[kMatrixChannel]; }
    const std::vector<std::string>& scalars() const { return lists[kScalarChannel]; }
    const std::vector<std::string>& vectors() const { return lists[kVectorChannel]; }
    const std::vector<std::string>& matrices() const { return lists[kMatrixChannel]; }

    void clear() {
        for (auto& list : lists) list.clear();
    }
    bool operator==(const ChannelNameLists& other) const { return lists == other.lists; }

    // Values in a flat frame: S + 3V + 16M.
    std::size_t flatValueCount() const {
        return scalars().size() + kVectorComponents * vectors().size() +
               kMatrixElements * matrices().size();
    }
};

// One recorded frame: the timestamp in seconds as sent by the phone and the values in the flat
// frame layout (scalars, then X Y Z per vector channel, then 16 row-major values per matrix).
struct CaptureFrame {
    double timestamp = 0.0;
    std::uint32_t valueCount = 0;
    std::unique_ptr<double[]> values;  // owned, valueCount entries

    CaptureFrame() = default;
    CaptureFrame(double time, const double* source, std::uint32_t count)
        : timestamp(time), valueCount(count), values(count ? new double[count] : nullptr) {
        for (std::uint32_t i = 0; i < count; ++i) values[i] = source[i];
    }
    CaptureFrame(const CaptureFrame& other)
        : CaptureFrame(other.timestamp, other.values.get(), other.valueCount) {}
    CaptureFrame& operator=(const CaptureFrame& other) {
        if (this != &other) *this = CaptureFrame(other);
        return *this;
    }
    CaptureFrame(CaptureFrame&&) noexcept = default;
    CaptureFrame& operator=(CaptureFrame&&) noexcept = default;
};

// A recording: the channel names of its connection and its frames, oldest first. Copies are
// deep. A deque lets the oldest frame go in constant time.
struct CaptureRecording {
    ChannelNameLists names;
    std::deque<CaptureFrame> frames;

    void clear() {
        names.clear();
        frames.clear();
    }
};
