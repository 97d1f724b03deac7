#pragma once
// A connection check: the steps of connecting to the phone, run one by one without starting a
// capture, each with its outcome and, when it fails, the next thing to try. A session that the
// phone accepts is ended again at once ("stop"), so the check leaves nothing open.

#include <chrono>
#include <string>
#include <vector>

#include "transport/records/CaptureRecords.h"

struct CheckStep {
    enum class Outcome { ok, warning, failed, skipped };

    std::string name;
    Outcome outcome = Outcome::ok;
    std::string detail;
    std::string next;  // what to try; set for a warning or a failure

    // "Answer: failed: no answer within 1 s. Next: ..."
    std::string line() const;
};

struct ConnectionCheckSettings {
    std::string address;  // Wi-Fi only
    int port = 0;         // the phone app's port: Wi-Fi or USB
    int receivePort = 0;  // Wi-Fi: the local port to receive on; 0 any free port
    // How the node's settings are named in the hints ("dev.ipAddress").
    std::string addressName;
    std::string portName;
    std::string receivePortName;
    std::chrono::milliseconds replyTimeout{1000};
};

std::vector<CheckStep> checkWifiConnection(const ConnectionCheckSettings& settings);
std::vector<CheckStep> checkUsbConnection(const ConnectionCheckSettings& settings);

// Where libusbmuxd looks for usbmuxd: USBMUXD_SOCKET_ADDRESS when set, else the system's socket.
std::string usbmuxdSocketDescription();

// --- Shared by both transports.

// The first message of the phone after connect, read as the message handler reads it.
struct ConnectReply {
    enum class Kind { accepted, refused, wrongScreen };
    Kind kind = Kind::accepted;
    ChannelNameLists channels;
};
ConnectReply readConnectReply(std::string text);

// The step "Answer" for a reply that came.
CheckStep answerStep(const ConnectReply& reply, const std::string& from);
// The hints for a phone that did not answer.
std::string silentPhoneHints(const ConnectionCheckSettings& settings, bool usb,
                             const std::string& receiveHint);
