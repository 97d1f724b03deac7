#include "clip/nodes/ClipWriterMessages.h"

#include "transport/messages/MessageSink.h"

void reportClipWriterError(const std::string& text) {
    // The writer thread may not call Maya: the message is shown later, on the main thread.
    postMessage(MessageKind::error, text);
}
