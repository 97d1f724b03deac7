#include "PhoneSim.h"

#include "PhoneSimEngine.h"

PhoneSim::PhoneSim(PhoneSimOptions options) : options_(std::move(options)) {
    if (options_.useDefaultChannels) options_.channels = defaultChannels();
    engine_ = std::make_unique<Engine>(options_);
}

PhoneSim::~PhoneSim() {
    stop();
}

void PhoneSim::start() {
    engine_->start();
}
void PhoneSim::stop() {
    engine_->stop();
}

unsigned short PhoneSim::udpPort() const {
    return engine_->udpPort();
}
unsigned short PhoneSim::usbPort() const {
    return engine_->usbPort();
}
std::string PhoneSim::usbmuxdSocketPath() const {
    return engine_->usbmuxdSocketPath();
}

std::vector<std::string> PhoneSim::commandsReceived() const {
    return engine_->stats.commands();
}

std::size_t PhoneSim::commandCount(const std::string& prefix) const {
    return engine_->stats.commandCount(prefix);
}

bool PhoneSim::waitForCommand(const std::string& prefix, std::chrono::milliseconds timeout) const {
    return engine_->stats.waitForCommandCount(prefix, 1, timeout);
}

bool PhoneSim::waitForCommandCount(const std::string& prefix, std::size_t count,
                                   std::chrono::milliseconds timeout) const {
    return engine_->stats.waitForCommandCount(prefix, count, timeout);
}

std::uint64_t PhoneSim::framesSent() const {
    return engine_->stats.framesSent();
}
double PhoneSim::lastFrameTimestamp() const {
    return engine_->stats.lastFrameTimestamp();
}

bool PhoneSim::waitForFramesSent(std::uint64_t count, std::chrono::milliseconds timeout) const {
    return engine_->stats.waitForFramesSent(count, timeout);
}

std::size_t PhoneSim::sendFrame(double timestamp) {
    return engine_->sendFrame(timestamp);
}
void PhoneSim::setAnswer(PhoneAnswer answer) {
    engine_->setAnswer(answer);
}
void PhoneSim::vanish() {
    engine_->vanish();
}

std::vector<std::uint8_t> PhoneSim::usbStreamSent() const {
    return engine_->stats.usbBytes();
}
