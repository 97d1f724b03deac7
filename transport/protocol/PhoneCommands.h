#pragma once
// The command texts sent to the phone and the replies that a transport consumes itself. Both
// transports share them; only their framing differs.

#include <string>
#include <string_view>

std::string wifiConnectCommand(unsigned localPort);  // "connect -port P -version 2"
inline constexpr std::string_view kUsbConnectCommand = "connect -usb -version 2";
std::string startCommand(bool withVideo);  // "start" or "start -video"
inline constexpr std::string_view kPauseCommand = "pause";
inline constexpr std::string_view kStopCommand = "stop";
// "saveCapture -timeInverval A B", each time as "%Lf".
std::string saveCaptureCommand(double startTime, double endTime);

// "/reset", the whole message.
bool isResetReply(std::string_view text);
// A data message ("timestamp;..." first): never an answer to connect. One can arrive first on
// Wi-Fi when the port still receives a stream meant for an earlier session.
bool isDataMessage(std::string_view text);
// While a video reply is awaited: any message of at least 6 characters starting with "video".
bool isVideoReply(std::string_view text);
// "video -cancel", the whole message.
bool isVideoCancelReply(std::string_view text);
// The port of "video -port %d" (matched as sscanf would); -1 when the text does not match or the
// number is no TCP port.
int videoReplyPort(std::string_view text);

// The USB port text as an integer (leading white space and a sign accepted, reading stops at the
// first non-digit); 0 when there is no number or it is no TCP port.
unsigned usbPortNumber(std::string_view text);
