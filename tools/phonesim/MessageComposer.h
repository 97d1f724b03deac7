#pragma once
// Builds the app's outgoing messages: texts, encryption and the USB framing.

#include <cstdint>
#include <string>
#include <vector>

#include "transport/cipher/AesCbcCipher.h"
#include "transport/records/CaptureRecords.h"

// The data message for a timestamp; with malformedLine, the line "malformed;oops" follows the
// scalar lines.
std::string composeDataMessage(const ChannelNameLists& channels, double timestamp,
                               bool malformedLine);

// IV then ciphertext of text padded with "*" to whole blocks. Throws std::runtime_error when no
// random IV can be had.
std::vector<std::uint8_t> encryptWith(AesCbcCipher& cipher, const std::string& text);

// The 8-byte "%08d" header and the message, appended to stream.
void appendUsbFrame(std::vector<std::uint8_t>& stream, const std::vector<std::uint8_t>& message);
