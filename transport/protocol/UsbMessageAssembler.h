#pragma once
// Cuts the USB byte stream from the phone into messages. Each message is an 8-byte decimal
// length header followed by that many payload bytes; receives may cut headers and payloads
// anywhere. Payloads are gathered in a buffer allocated once.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

class UsbMessageAssembler {
  public:
    static constexpr std::size_t kHeaderBytes = 8;
    static constexpr std::size_t kDefaultCapacity = 1048576;

    enum class FeedResult {
        ok,
        // A header that is not a length: the stream cannot be followed any further.
        lostStep,
    };

    explicit UsbMessageAssembler(std::size_t capacity = kDefaultCapacity);

    // Calls onPayload(const std::uint8_t* payload, std::size_t length) for every message that the
    // bytes complete, in order. A payload longer than the capacity is skipped over (its length
    // keeps the stream in step) and reported through onOversized(std::size_t length). After
    // lostStep, the assembler stays lost until reset().
    template <class OnPayload, class OnOversized>
    FeedResult feed(const std::uint8_t* data, std::size_t byteCount, OnPayload&& onPayload,
                    OnOversized&& onOversized);

    void reset();
    // True when no part of a message (header or payload) is held back.
    bool isBetweenMessages() const { return headerFill_ == 0 && expected_ < 0; }

    // The header's integer: leading white space and a sign accepted, reading stops at the first
    // non-digit. -1 when it is not a length (no digits, or negative).
    static long readHeader(const std::uint8_t* header);

  private:
    std::size_t capacity_;
    std::unique_ptr<std::uint8_t[]> payload_;
    std::uint8_t header_[kHeaderBytes] = {};
    std::size_t headerFill_ = 0;
    long expected_ = -1;  // payload length of the current message; -1 while reading its header
    std::size_t assembled_ = 0;
    bool skipping_ = false;  // the current payload is too long to keep
    bool lost_ = false;
};

template <class OnPayload, class OnOversized>
UsbMessageAssembler::FeedResult UsbMessageAssembler::feed(const std::uint8_t* data,
                                                          std::size_t byteCount,
                                                          OnPayload&& onPayload,
                                                          OnOversized&& onOversized) {
    if (lost_) return FeedResult::lostStep;
    std::size_t at = 0;
    while (at < byteCount) {
        if (expected_ < 0) {
            const std::size_t take = std::min(kHeaderBytes - headerFill_, byteCount - at);
            for (std::size_t i = 0; i < take; ++i) header_[headerFill_ + i] = data[at + i];
            headerFill_ += take;
            at += take;
            if (headerFill_ < kHeaderBytes) break;
            headerFill_ = 0;
            expected_ = readHeader(header_);
            if (expected_ < 0) {
                lost_ = true;
                return FeedResult::lostStep;
            }
            assembled_ = 0;
            skipping_ = static_cast<std::size_t>(expected_) > capacity_;
            if (skipping_) onOversized(static_cast<std::size_t>(expected_));
        }
        const std::size_t missing = static_cast<std::size_t>(expected_) - assembled_;
        const std::size_t take = std::min(missing, byteCount - at);
        if (!skipping_ && take > 0)
            std::copy(data + at, data + at + take, payload_.get() + assembled_);
        assembled_ += take;
        at += take;
        if (assembled_ < static_cast<std::size_t>(expected_)) break;
        if (!skipping_) onPayload(static_cast<const std::uint8_t*>(payload_.get()), assembled_);
        expected_ = -1;
        assembled_ = 0;
        skipping_ = false;
    }
    return FeedResult::ok;
}
