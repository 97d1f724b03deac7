#pragma once
// What tests observe of the stand-in, written on its thread and read on theirs.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class PhoneSimStats {
  public:
    void recordCommand(const std::string& text);
    void recordFrame(double timestamp);
    void recordUsbBytes(const std::uint8_t* bytes, std::size_t count);

    std::vector<std::string> commands() const;
    std::size_t commandCount(const std::string& prefix) const;
    bool waitForCommandCount(const std::string& prefix, std::size_t count,
                             std::chrono::milliseconds timeout) const;
    std::uint64_t framesSent() const;
    double lastFrameTimestamp() const;
    bool waitForFramesSent(std::uint64_t count, std::chrono::milliseconds timeout) const;
    std::vector<std::uint8_t> usbBytes() const;

  private:
    std::size_t countLocked(const std::string& prefix) const;

    // Guards everything below: the stand-in's thread writes, test threads read and wait.
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::string> commands_;
    std::uint64_t framesSent_ = 0;
    double lastFrameTimestamp_ = 0.0;
    std::vector<std::uint8_t> usbBytes_;
};
