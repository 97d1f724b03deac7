// Fuzzes MocapDataHandler with decrypted message texts. The input is the connect reply, then the
// data messages, separated by zero bytes; a rejected connection ends the input, as the
// transports end the session.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "CheckingObserver.h"
#include "ReusedHandler.h"
#include "transport/protocol/ChannelNameRule.h"
#include "transport/protocol/MocapDataHandler.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckingObserver observer;
    const ReusedHandler handler = makeReusedHandler(&observer);

    const std::string_view input(reinterpret_cast<const char*>(data), size);
    bool replied = false;
    std::size_t start = 0;
    while (start <= input.size()) {
        std::size_t end = input.find('\0', start);
        if (end == std::string_view::npos) end = input.size();
        std::string message(input.substr(start, end - start));
        if (!replied) {
            replied = true;
            const bool accepted = handler->handleConnectReply(std::move(message));
            if (accepted != observer.accepted() || accepted == observer.rejected()) std::abort();
            if (!accepted) break;
            if (!(validChannelNames(handler->channelNames()) == observer.names())) std::abort();
        } else {
            handler->handleFrame(std::move(message));
        }
        start = end + 1;
    }
    return 0;
}
