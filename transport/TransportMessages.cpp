#include "TransportMessages.h"

#include <iostream>
#include <mutex>

void reportTransportMessage(std::string_view text, MessageKind kind) {
    {
        // Keeps lines from different session threads from interleaving.
        static std::mutex outputMutex;
        std::lock_guard<std::mutex> lock(outputMutex);
        std::cout << text << '\n' << std::flush;
    }
    forwardMessage(kind, text);
}

void reportVideoNotReceived(const std::string& path) {
    reportTransportMessage("The video for " + path +
                           " was not received: the session ended before the phone offered it.");
}

void reportVideoCutShort(const std::string& path, std::size_t bytesKept) {
    reportTransportMessage("The video for " + path + " was cut short: the session ended while it "
                           "arrived; kept the " + std::to_string(bytesKept) + " bytes received.");
}
