#pragma once
// One place where the transport writes its messages for people: each goes to standard output
// (Maya's Output Window), one whole line even when several threads report at once, and to the
// plug-in's message sink, which shows it in the Script Editor.

#include <cstddef>
#include <string>
#include <string_view>

#include "transport/messages/MessageSink.h"

void reportTransportMessage(std::string_view text, MessageKind kind = MessageKind::warning);

// A take's video that the end of the session kept from arriving, whole or in part.
void reportVideoNotReceived(const std::string& path);
void reportVideoCutShort(const std::string& path, std::size_t bytesKept);
// A video whose connection broke before the phone ended it.
void reportVideoBroken(const std::string& path, std::size_t bytesKept, const std::string& reason);

// A take's video that never arrives: the phone has none ("video -cancel"), its answer names no
// port, nothing answers on the port it named, or the file cannot be written.
// Each of these also ends the wait of the save that asked for the video (SaveOutcomes.h).
void reportVideoCancelled(const std::string& path);
// The request for the video could not be put into a command the phone takes.
void reportVideoNotAsked(const std::string& path);
void reportVideoReplyUnusable(const std::string& path, std::string_view reply);
void reportVideoUnreachable(const std::string& path, int port, const std::string& reason);
void reportVideoFileUnwritable(const std::string& path, const std::string& reason);
