#include "transport/protocol/UsbMessageAssembler.h"

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
    bool negative = false;
    if (at < kHeaderBytes && (header[at] == '+' || header[at] == '-')) negative = header[at++] == '-';
    if (at >= kHeaderBytes || header[at] < '0' || header[at] > '9') return -1;
    long length = 0;
    for (; at < kHeaderBytes && header[at] >= '0' && header[at] <= '9'; ++at) {
        length = length * 10 + (header[at] - '0');
    }
    if (negative && length != 0) return -1;
    return length;
}
