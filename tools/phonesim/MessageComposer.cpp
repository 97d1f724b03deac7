#include "MessageComposer.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "PhoneSim.h"

namespace {

constexpr double kTimestampUnit = 65536.0;  // timestamps are multiples of 2^-16 s

void appendValue(std::string& text, double value) {
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, result.ptr);
}

// A multiple of 2^-16 has at most 16 decimals, so "%.16f" writes it exactly.
void appendTimestamp(std::string& text, double timestamp) {
    char digits[64];
    int length = std::snprintf(digits, sizeof digits, "%.16f", timestamp);
    if (length <= 0 || length >= static_cast<int>(sizeof digits)) {
        appendValue(text, timestamp);  // beyond any realistic session length
        return;
    }
    while (length > 1 && digits[length - 1] == '0') --length;
    if (digits[length - 1] == '.') --length;
    text.append(digits, static_cast<std::size_t>(length));
}

void appendLine(std::string& text, const std::string& key, const char* suffix, double value) {
    text += key;
    text += suffix;
    text += ';';
    appendValue(text, value);
    text += '\n';
}

}  // namespace

std::string composeDataMessage(const ChannelNameLists& channels, double timestamp,
                               bool malformedLine) {
    std::string text = "timestamp;";
    appendTimestamp(text, timestamp);
    text += '\n';
    const auto& scalars = channels.scalars();
    for (std::size_t s = 0; s < scalars.size(); ++s)
        appendLine(text, scalars[s], "",
                   PhoneSim::channelValue(ChannelKind::scalar, s, 0, timestamp));
    if (malformedLine) text += "malformed;oops\n";
    const auto& vectors = channels.vectors();
    for (std::size_t v = 0; v < vectors.size(); ++v)
        for (std::size_t k = 0; k < kVectorComponents; ++k)
            appendLine(text, vectors[v], kVectorKeySuffixes[k],
                       PhoneSim::channelValue(ChannelKind::vector, v, k, timestamp));
    const auto& matrices = channels.matrices();
    for (std::size_t m = 0; m < matrices.size(); ++m)
        for (std::size_t e = 0; e < kMatrixElements; ++e)
            appendLine(text, matrices[m], kMatrixKeySuffixes[e],
                       PhoneSim::channelValue(ChannelKind::matrix, m, e, timestamp));
    return text;
}

std::vector<std::uint8_t> encryptWith(AesCbcCipher& cipher, const std::string& text) {
    AesIv iv;
    if (!randomIv(iv)) throw std::runtime_error("phonesim: no random source for the message IV");
    std::size_t cipherBytes = (text.size() + kAesBlockSize - 1) / kAesBlockSize * kAesBlockSize;
    if (cipherBytes == 0) cipherBytes = kAesBlockSize;  // an empty text still needs its padding
    std::vector<std::uint8_t> message(kAesBlockSize + cipherBytes, '*');
    std::copy(iv.begin(), iv.end(), message.begin());
    std::copy(text.begin(), text.end(), message.begin() + kAesBlockSize);
    cipher.encrypt(iv, message.data() + kAesBlockSize, cipherBytes);
    return message;
}

void appendUsbFrame(std::vector<std::uint8_t>& stream, const std::vector<std::uint8_t>& message) {
    if (message.size() > 99999999u)
        throw std::length_error("phonesim: message too long for an 8-digit length header");
    char header[16];
    std::snprintf(header, sizeof header, "%08zu", message.size());
    stream.insert(stream.end(), header, header + 8);
    stream.insert(stream.end(), message.begin(), message.end());
}

std::string PhoneSim::channelListText(const ChannelNameLists& channels) {
    std::string text;
    for (const ChannelKind kind : kChannelKinds) {
        if (kind != ChannelKind::scalar) text += "#\n";
        for (const auto& name : channels.of(kind)) {
            text += name;
            text += '\n';
        }
    }
    return text;
}

ChannelNameLists PhoneSim::parseChannelList(const std::string& text) {
    ChannelNameLists channels;
    int section = 0;  // kChannelKindCount and beyond: sections past the last kind
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(begin, end - begin);
        begin = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line[0] == '#') {
            ++section;
        } else if (section < kChannelKindCount) {
            channels.lists[section].push_back(line);
        }
    }
    return channels;
}

std::string PhoneSim::dataMessageText(const ChannelNameLists& channels, double timestamp) {
    return composeDataMessage(channels, timestamp, false);
}

std::vector<double> PhoneSim::flatFrame(const ChannelNameLists& channels, double timestamp) {
    std::vector<double> values;
    values.reserve(channels.flatValueCount());
    for (const ChannelKind kind : kChannelKinds) {
        for (std::size_t i = 0; i < channels.of(kind).size(); ++i) {
            for (std::size_t e = 0; e < valuesPerChannel(kind); ++e) {
                values.push_back(channelValue(kind, i, e, timestamp));
            }
        }
    }
    return values;
}

double PhoneSim::roundTimestamp(double seconds) {
    return std::round(seconds * kTimestampUnit) / kTimestampUnit;
}

std::vector<std::uint8_t> PhoneSim::encryptMessage(const std::string& text) {
    AesCbcCipher cipher(messageKey());
    return encryptWith(cipher, text);
}

std::vector<std::uint8_t> PhoneSim::usbFrame(const std::vector<std::uint8_t>& message) {
    std::vector<std::uint8_t> frame;
    appendUsbFrame(frame, message);
    return frame;
}
