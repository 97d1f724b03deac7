#pragma once
// One place where the transport writes its messages for people: transport errors and warnings go
// to standard output, one whole line each, even when several threads report at once.

#include <cstddef>
#include <string>
#include <string_view>

void reportTransportMessage(std::string_view text);

// A take's video that the end of the session kept from arriving, whole or in part.
void reportVideoNotReceived(const std::string& path);
void reportVideoCutShort(const std::string& path, std::size_t bytesKept);
