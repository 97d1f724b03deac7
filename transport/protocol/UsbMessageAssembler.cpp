#include "transport/protocol/UsbMessageAssembler.h"

#include "transport/numbers/NumberText.h"

#include <limits>
#include <string_view>

UsbMessageAssembler::UsbMessageAssembler(std::size_t capacity)
    : capacity_(capacity), payload_(new std::uint8_t[capacity]) {}

void UsbMessageAssembler::reset() {
    headerFill_ = 0;
    expected_ = -1;
    assembled_ = 0;
    skipping_ = false;
    lost_ = false;
}

long UsbMessageAssembler::readHeader(const std::uint8_t* header) {
    std::size_t at = 0;
    auto isSpace = [](std::uint8_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (at < kHeaderBytes && isSpace(header[at])) ++at;
    // Eight digits at most: no limit is reached, and "-0" is a length of 0.
    long length = 0;
    const std::string_view text(reinterpret_cast<const char*>(header), kHeaderBytes);
    if (!readDecimalInteger(text, at, std::numeric_limits<long>::max() / 10, length) || length < 0)
        return -1;
    return length;
}
