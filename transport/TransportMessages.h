#pragma once
// One place where the transport writes its messages for people: transport errors and warnings go
// to standard output, one whole line each, even when several threads report at once.

#include <string_view>

void reportTransportMessage(std::string_view text);
