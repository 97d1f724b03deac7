#include "transport/protocol/PhoneCommands.h"

#include "transport/numbers/NumberText.h"

#include <cstdio>

namespace {

bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string formatTime(double seconds) {
    const long double value = seconds;
    const int length = std::snprintf(nullptr, 0, "%Lf", value);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    std::snprintf(text.data(), text.size() + 1, "%Lf", value);
    return text;
}

void skipSpaces(std::string_view text, std::size_t& at) {
    while (at < text.size() && isSpace(text[at])) ++at;
}

constexpr long kMaxTcpPort = 65535;

}  // namespace

std::string wifiConnectCommand(unsigned localPort) {
    return "connect -port " + std::to_string(localPort) + " -version 2";
}

std::string startCommand(bool withVideo) {
    return withVideo ? "start -video" : "start";
}

std::string saveCaptureCommand(double startTime, double endTime) {
    return "saveCapture -timeInverval " + formatTime(startTime) + " " + formatTime(endTime);
}

bool isResetReply(std::string_view text) {
    return text == "/reset";
}

bool isDataMessage(std::string_view text) {
    return text.rfind("timestamp;", 0) == 0;
}

bool isVideoReply(std::string_view text) {
    return text.size() >= 6 && text.substr(0, 5) == "video";
}

bool isVideoCancelReply(std::string_view text) {
    return text == "video -cancel";
}

int videoReplyPort(std::string_view text) {
    // The pattern "video -port %d": a blank matches any run of white space, none included.
    std::size_t at = 0;
    if (text.substr(0, 5) != "video") return -1;
    at = 5;
    skipSpaces(text, at);
    if (text.substr(at, 5) != "-port") return -1;
    at += 5;
    skipSpaces(text, at);
    long port = -1;
    // Port 0 is no port a download can reach.
    if (!readDecimalInteger(text, at, kMaxTcpPort, port) || port <= 0) return -1;
    return static_cast<int>(port);
}

unsigned usbPortNumber(std::string_view text) {
    std::size_t at = 0;
    skipSpaces(text, at);
    long port = 0;
    if (!readDecimalInteger(text, at, kMaxTcpPort, port) || port < 0) return 0;
    return static_cast<unsigned>(port);
}
