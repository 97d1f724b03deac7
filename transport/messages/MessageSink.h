#pragma once
// Where the plug-in's own threads send messages for people. Session threads and clip writers
// may not call Maya; they post to the one sink that the plug-in installs at load, which shows
// the messages later on Maya's main thread. Nothing here links Maya.

#include <string_view>

enum class MessageKind { info, warning, error };

// Takes messages from any thread. Implementations must be thread-safe.
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void post(MessageKind kind, std::string_view text) = 0;

    void info(std::string_view text) { post(MessageKind::info, text); }
    void warning(std::string_view text) { post(MessageKind::warning, text); }
    void error(std::string_view text) { post(MessageKind::error, text); }
};

// Installs the sink that postMessage forwards to (nullptr: none). The caller keeps the sink
// alive until it installs another one.
void setMessageSink(MessageSink* sink);

// Hands a message to the installed sink; without one, writes it to standard output so that it
// is never lost. Safe from any thread.
void postMessage(MessageKind kind, std::string_view text);

// Hands a message to the installed sink only; false when there is none.
bool forwardMessage(MessageKind kind, std::string_view text);
