#include "UsbCommandMailbox.h"

#include <utility>

void UsbCommandMailbox::leave(UsbCommand command) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!pending_.empty() && pending_.back().kind == UsbCommand::Kind::stop) return;
    if (pending_.size() >= kCapacity) pending_.pop_front();
    pending_.push_back(std::move(command));
}

std::optional<UsbCommand> UsbCommandMailbox::take() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (pending_.empty()) return std::nullopt;
    UsbCommand command = std::move(pending_.front());
    pending_.pop_front();
    return command;
}

bool UsbCommandMailbox::isStopPending() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return !pending_.empty() && pending_.back().kind == UsbCommand::Kind::stop;
}
