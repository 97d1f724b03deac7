#include "UsbCommandMailbox.h"

#include <utility>

void UsbCommandMailbox::leave(UsbCommand command) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (pending_ && pending_->kind == UsbCommand::Kind::stop) return;
    pending_ = std::move(command);
}

std::optional<UsbCommand> UsbCommandMailbox::take() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(pending_, std::nullopt);
}

bool UsbCommandMailbox::isStopPending() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return pending_ && pending_->kind == UsbCommand::Kind::stop;
}
