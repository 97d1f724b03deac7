#include "PhoneSimStats.h"

void PhoneSimStats::recordCommand(const std::string& text) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        commands_.push_back(text);
    }
    changed_.notify_all();
}

void PhoneSimStats::recordFrame(double timestamp) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++framesSent_;
        lastFrameTimestamp_ = timestamp;
    }
    changed_.notify_all();
}

void PhoneSimStats::recordUsbBytes(const std::uint8_t* bytes, std::size_t count) {
    std::lock_guard<std::mutex> lock(mutex_);
    usbBytes_.insert(usbBytes_.end(), bytes, bytes + count);
}

std::vector<std::string> PhoneSimStats::commands() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
}

std::size_t PhoneSimStats::countLocked(const std::string& prefix) const {
    std::size_t count = 0;
    for (const auto& command : commands_)
        if (command.compare(0, prefix.size(), prefix) == 0) ++count;
    return count;
}

std::size_t PhoneSimStats::commandCount(const std::string& prefix) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return countLocked(prefix);
}

bool PhoneSimStats::waitForCommandCount(const std::string& prefix, std::size_t count,
                                        std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return countLocked(prefix) >= count; });
}

std::uint64_t PhoneSimStats::framesSent() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return framesSent_;
}

double PhoneSimStats::lastFrameTimestamp() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lastFrameTimestamp_;
}

bool PhoneSimStats::waitForFramesSent(std::uint64_t count,
                                      std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return framesSent_ >= count; });
}

std::vector<std::uint8_t> PhoneSimStats::usbBytes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return usbBytes_;
}
