#include "transport/connection/UsbCommandMailbox.h"

#include <utility>

namespace {

bool setsStreaming(const UsbCommand& command) {
    return command.kind == UsbCommand::Kind::start || command.kind == UsbCommand::Kind::pause;
}

}  // namespace

void UsbCommandMailbox::leave(UsbCommand command) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!pending_.empty()) {
        UsbCommand& last = pending_.back();
        if (last.kind == UsbCommand::Kind::stop) return;
        if (setsStreaming(last) && setsStreaming(command)) {
            last = std::move(command);  // only the latest start or pause matters
            return;
        }
    }
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
