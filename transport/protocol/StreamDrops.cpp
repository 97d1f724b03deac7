#include "transport/protocol/StreamDrops.h"

#include <iterator>

#include "transport/messages/KindTexts.h"
#include "transport/protocol/TransportMessages.h"

std::string_view streamDropDescription(StreamDrop kind) {
    static constexpr const char* kDescriptions[] = {"undecryptable", "without a finite timestamp",
                                                    "from another sender", "too long to take whole",
                                                    "with a bad value"};
    static_assert(std::size(kDescriptions) == kStreamDropKindCount, "one text for each kind");
    return kindText(kind, kDescriptions, "");
}

void StreamDropCounter::count(StreamDrop kind, std::string_view firstText) {
    const auto index = static_cast<std::size_t>(kind);
    if (counts_[index].fetch_add(1, std::memory_order_relaxed) > 0) return;
    std::string text(firstText);
    text.append(" Further ones this session are only counted.");
    reportTransportMessage(text);
}

std::uint64_t StreamDropCounter::countOf(StreamDrop kind) const {
    return counts_[static_cast<std::size_t>(kind)].load(std::memory_order_relaxed);
}

std::uint64_t StreamDropCounter::total() const {
    std::uint64_t sum = 0;
    for (const auto& count : counts_) sum += count.load(std::memory_order_relaxed);
    return sum;
}

std::string StreamDropCounter::summary() const {
    std::string text;
    for (std::size_t i = 0; i < kStreamDropKindCount; ++i) {
        const std::uint64_t count = counts_[i].load(std::memory_order_relaxed);
        if (count == 0) continue;
        text.append(text.empty() ? "Dropped in this session: " : ", ");
        text.append(std::to_string(count)).append(" ");
        text.append(streamDropDescription(static_cast<StreamDrop>(i)));
    }
    if (!text.empty()) text.append(".");
    return text;
}

void StreamDropCounter::reportSummary() const {
    const std::string text = summary();
    if (!text.empty()) reportTransportMessage(text);
}

void StreamDropCounter::reset() {
    for (auto& count : counts_) count.store(0, std::memory_order_relaxed);
}
