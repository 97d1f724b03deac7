#include "TransportMessages.h"

#include <iostream>
#include <mutex>

void reportTransportMessage(std::string_view text) {
    // Keeps lines from different session threads from interleaving.
    static std::mutex outputMutex;
    std::lock_guard<std::mutex> lock(outputMutex);
    std::cout << text << '\n' << std::flush;
}
