#include "transport/messages/MessageSink.h"

#include <iostream>
#include <mutex>

#include "transport/messages/KindTexts.h"

namespace {

// Posting threads read the sink while the main thread installs or removes it; the lock is held
// for the whole post so that a removed sink is never called afterwards.
struct InstalledSink {
    std::mutex mutex;
    MessageSink* sink = nullptr;  // guarded by mutex
};

InstalledSink& installed() {
    static InstalledSink instance;
    return instance;
}

const char* prefix(MessageKind kind) {
    static constexpr const char* kPrefixes[] = {"", "Warning: ", "Error: "};
    return kindText(kind, kPrefixes, "");
}

}  // namespace

void setMessageSink(MessageSink* sink) {
    std::lock_guard<std::mutex> lock(installed().mutex);
    installed().sink = sink;
}

bool forwardMessage(MessageKind kind, std::string_view text) {
    auto& target = installed();
    std::lock_guard<std::mutex> lock(target.mutex);
    if (!target.sink) return false;
    target.sink->post(kind, text);
    return true;
}

void postMessage(MessageKind kind, std::string_view text) {
    if (forwardMessage(kind, text)) return;
    // Keeps lines from different threads from interleaving.
    static std::mutex outputMutex;
    std::lock_guard<std::mutex> lock(outputMutex);
    std::cout << prefix(kind) << text << '\n' << std::flush;
}
