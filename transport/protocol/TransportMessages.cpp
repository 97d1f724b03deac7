#include "transport/protocol/TransportMessages.h"

#include "transport/outcomes/SaveOutcomes.h"

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

namespace {

// Says why a take's video is missing, and ends the wait of the save that asked for it.
void reportVideoMissing(const std::string& path, const std::string& text,
                        MessageKind kind = MessageKind::warning) {
    reportVideoNotSaved(path, text);  // first: whoever sees the message finds the outcome ended
    reportTransportMessage(text, kind);
}

}  // namespace

void reportVideoNotReceived(const std::string& path) {
    reportVideoMissing(path,
                       "The video for " + path +
                           " was not received: the session ended before the phone offered it.");
}

void reportVideoCancelled(const std::string& path) {
    // The phone's legitimate answer, not a fault: said as information.
    reportVideoMissing(path,
                       "No video for " + path +
                           ": the phone has none for that stretch (it answered \"video -cancel\").",
                       MessageKind::info);
}

void reportVideoNotAsked(const std::string& path) {
    reportVideoMissing(
        path, "No video for " + path + ": its stretch's times do not fit a command to the phone.");
}

void reportVideoReplyUnusable(const std::string& path, std::string_view reply) {
    // The phone's text, shown printable and short.
    std::string shown;
    for (const char c : reply.substr(0, 80)) {
        const auto u = static_cast<unsigned char>(c);
        shown += (u >= 0x20 && u < 0x7f) ? c : '?';
    }
    if (reply.size() > 80) shown += "...";
    reportVideoMissing(path, "Cannot fetch the video for " + path + ": the phone answered \"" +
                                 shown + "\", which names no port from 1 to 65535.");
}

void reportVideoUnreachable(const std::string& path, int port, const std::string& reason) {
    reportVideoMissing(path, "Cannot fetch the video for " + path + ": nothing answers on port " +
                                 std::to_string(port) + ", where the phone offered it (" + reason +
                                 ").");
}

void reportVideoFileUnwritable(const std::string& path, const std::string& reason) {
    reportVideoMissing(path, "Cannot write the video file " + path + ": " + reason + ".");
}

void reportVideoCutShort(const std::string& path, std::size_t bytesKept) {
    const std::string text = "The video for " + path +
                             " was cut short: the session ended while it "
                             "arrived; kept the " +
                             std::to_string(bytesKept) + " bytes received.";
    reportVideoPartial(path, bytesKept, text);
    reportTransportMessage(text);
}

void reportVideoBroken(const std::string& path, std::size_t bytesKept, const std::string& reason) {
    const std::string text = "The video transfer for " + path + " broke off (" + reason +
                             "); kept the " + std::to_string(bytesKept) + " bytes received.";
    reportVideoPartial(path, bytesKept, text);
    reportTransportMessage(text);
}
