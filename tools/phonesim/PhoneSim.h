#pragma once
// phonesim: a stand-in for the phone's face capture app, and for the usbmuxd service that carries
// TCP to a phone over USB. Tests link it as a library (target phonesim_lib); people run it as the
// program phonesim.
//
// Wi-Fi: a UDP socket. "connect -port P -version 2" is answered (encrypted) to the sender's
// address at port P; every later command is matched to its session by its sender endpoint.
// USB: a TCP listener on 127.0.0.1. Commands arrive as 200-byte blocks (text, then zero bytes);
// every message goes out as an 8-byte "%08d" length header followed by the encrypted message.
// usbmuxd: a UNIX socket that the real libusbmuxd client reaches with
// USBMUXD_SOCKET_ADDRESS=UNIX:<path>; Connect opens a byte tunnel to 127.0.0.1:<port>, so it
// reaches the USB listener and the video listeners of this stand-in.
//
// Every message is AES-128-CBC with messageKey(), a fresh random IV, and the text padded with "*"
// to whole 16-byte blocks (one block of "*" for an empty text); on the wire: IV, then ciphertext.
//
// Commands understood (both transports): "connect ..." (answered by the answer mode), "start",
// "start -video", "pause", "stop", "saveCapture -timeInverval A B". Anything else is recorded and
// ignored. "start" begins or resumes streaming, "pause" halts it, "stop" ends the session.
// "saveCapture" answers "video -port N" while the session was started with " -video" (and serves
// the video on a fresh TCP listener 127.0.0.1:N, one connection, then closes), "video -cancel"
// otherwise.
//
// Data messages: "timestamp;<t>" first, then "name;value" for every scalar in list order, then
// name+"X"/"Y"/"Z" for every vector, then name+row digit+column letter ("head0X" ... "head3W") for
// every matrix, one line each, each line ending in "\n". Values are written in the shortest form
// that reads back as the same double (std::to_chars), so a receiver's strtod gives exactly
// channelValue(...). Timestamps are multiples of 2^-16 s written exactly, so both strtod and
// strtold give back the same double.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "transport/records/CaptureRecords.h"

// How the app answers a connect command.
enum class PhoneAnswer {
    accept,             // the channel list
    reject,             // "/reject"
    rejectWrongScreen,  // "/reject-wrong-screen"
    silent,             // nothing at all
};

// What the usbmuxd stand-in lists. deviceId is the handle a client passes to usbmuxd_connect.
struct PhoneSimUsbDevice {
    std::uint32_t deviceId = 1;
    std::uint32_t productId = 0x1234;  // > 0: a client picks the last device with one
    std::string serial = "PHONESIM0000000000000001";
};

// Cutting the outgoing USB stream into writes. The stream is every byte sent on one USB
// connection (headers and payloads back to back). A write ends at each cumulative sum of
// `sizes` (sizes[0], sizes[0]+sizes[1], ...; cycled when `repeat`), and also wherever the stream
// runs out of pending bytes (a write never waits for a message that has not been produced yet).
// Empty `sizes`: writes take whatever is pending (normally one message). Sizes of 0 are ignored.
struct PhoneSimUsbChunking {
    std::vector<std::size_t> sizes;
    bool repeat = true;  // false: after the last size, writes take whatever is pending
    // Pause between two writes so that the reader sees each cut separately (TCP and the usbmuxd
    // relay otherwise merge writes that follow each other closely). 0: no pause.
    std::chrono::microseconds pause{0};
};

// Broken USB streams, injected once per USB connection after `usbGarbageAfter` data messages.
enum class UsbGarbage {
    none,
    badHeader,  // 8 bytes "garbage!" and 56 noise bytes: a header that is not a length
    oversized,  // header "02097152" and 2 MiB of noise (beyond a 1 MiB assembly buffer), then
                // the regular messages go on: the stream stays in step for a reader that skips
};

struct PhoneSimOptions {
    // Address every listener binds to (the UDP socket, the USB and video listeners).
    std::string bindAddress = "127.0.0.1";
    int udpPort = 35601;  // 0: any free port; negative: no Wi-Fi endpoint
    int usbPort = 35602;  // 0: any free port; negative: no USB endpoint
    // Path of the usbmuxd stand-in's UNIX socket; empty: no stand-in. A stale socket file at the
    // path is replaced; the file is removed by stop().
    std::string usbmuxdSocket;
    std::vector<PhoneSimUsbDevice> usbDevices{PhoneSimUsbDevice{}};

    // Data messages per second and session while streaming. 0: none on a timer; only
    // PhoneSim::sendFrame() sends them.
    double rate = 60.0;
    // The channel list; defaults to PhoneSim::defaultChannels().
    ChannelNameLists channels;
    bool useDefaultChannels = true;  // false: `channels` is used as given (even when empty)
    // When not empty: sent as the accept reply instead of channelListText(channels), byte for
    // byte (for lists that ChannelNameLists cannot hold, such as a fourth section). Data messages
    // still follow `channels`.
    std::string rawChannelList;

    // Timestamps: timestampOffset + the time since the session's first "start" (steady clock),
    // or, when timestampStep > 0, timestampOffset + k * timestampStep for the session's k-th data
    // message (k from 0). Always rounded to a multiple of 2^-16 s.
    double timestampStep = 0.0;
    double timestampOffset = 0.0;

    std::size_t videoBytes = 1u << 20;  // size of the video served; content: videoByte(i)
    // When not empty: the answer to "saveCapture" in a video session, sent as it is and with no
    // video served (for phones that answer with a port where nothing listens, or a broken reply).
    std::string videoReply;
    // After this many video bytes the server stops sending but keeps the connection open until
    // PhoneSim::stop() (a stalled transfer). Negative: never stalls.
    long long videoStallAfter = -1;

    PhoneAnswer answer = PhoneAnswer::accept;
    // Send "/reset" after this many data messages of a session, and end that session's stream.
    // Negative: never.
    long long resetAfter = -1;

    // Every Nth data message of a session (N = malformedEvery, counting from 1) carries an extra
    // line "malformed;oops" right after its scalar lines (before the vector lines). 0: never.
    long long malformedEvery = 0;
    // Wi-Fi: before every Nth data message of a session, three datagrams that no message can be
    // made of: an empty one, 5 bytes, and 16 + 21 bytes (not whole blocks). 0: never.
    long long garbageEvery = 0;

    PhoneSimUsbChunking usbChunking;
    UsbGarbage usbGarbage = UsbGarbage::none;
    long long usbGarbageAfter = 1;
    // Keep a copy of every byte sent on USB connections (see usbStreamSent()).
    bool recordUsbStream = false;

    // Called on the stand-in's thread with one line of text per command received and per notable
    // event (the program prints them). May be empty.
    std::function<void(const std::string& line)> log;
};

class PhoneSim {
  public:
    explicit PhoneSim(PhoneSimOptions options = PhoneSimOptions());
    ~PhoneSim();  // stop()
    PhoneSim(const PhoneSim&) = delete;
    PhoneSim& operator=(const PhoneSim&) = delete;

    // Binds every endpoint and starts the stand-in's thread; returns once everything listens.
    // Throws std::runtime_error with a clear message (which endpoint, why) on failure, leaving
    // nothing open. Calling it twice throws.
    void start();
    // Closes every socket (clients see their connections and tunnels close), joins the thread,
    // removes the usbmuxd socket file. Idempotent.
    void stop();

    // The bound ports (the chosen ones when 0 was asked) and the usbmuxd socket path; 0 / empty
    // when that endpoint is off or before start().
    unsigned short udpPort() const;
    unsigned short usbPort() const;
    std::string usbmuxdSocketPath() const;

    // Commands received on either transport, in order of arrival, exactly as their text (USB
    // blocks without their zero bytes).
    std::vector<std::string> commandsReceived() const;
    // Number of commands so far that start with prefix.
    std::size_t commandCount(const std::string& prefix) const;
    // Waits until some command received so far (earlier ones included) starts with prefix.
    // Returns false on time-out.
    bool waitForCommand(const std::string& prefix, std::chrono::milliseconds timeout) const;
    // Waits until at least count commands starting with prefix have been received.
    bool waitForCommandCount(const std::string& prefix, std::size_t count,
                             std::chrono::milliseconds timeout) const;

    // Data messages sent so far, all sessions and transports together, and the timestamp of the
    // latest one (0 before any).
    std::uint64_t framesSent() const;
    double lastFrameTimestamp() const;
    // Waits until framesSent() >= count. Returns false on time-out.
    bool waitForFramesSent(std::uint64_t count, std::chrono::milliseconds timeout) const;

    // Sends one data message with this timestamp (rounded to 2^-16 s) to every session that is
    // streaming (started, not paused), now, whatever the rate. Returns once it has been handed to
    // the sockets: the number of sessions it went to.
    std::size_t sendFrame(double timestamp);
    // Changes the answer to later connect commands.
    void setAnswer(PhoneAnswer answer);
    // The phone vanishes: Wi-Fi sessions are forgotten (nothing more is sent to them) and USB
    // connections are closed (their usbmuxd tunnels close), while the listeners stay open.
    void vanish();

    // Every byte sent on USB connections so far, in order (only with recordUsbStream).
    std::vector<std::uint8_t> usbStreamSent() const;

    // --- The deterministic motion and the message texts, for predicting what the app sends.

    // The 52 face blendshape weights as scalars, "gaze" and "lookAt" as vectors, "head",
    // "leftEye" and "rightEye" as matrices: 106 values a frame.
    static ChannelNameLists defaultChannels();
    // The value of channel channelIndex of kind at a timestamp; element is the vector component
    // (0..2) or matrix element (4 * row + column, 0..15); ignored for scalars. Scalars lie in
    // [0, 1]. Matrices are rigid transforms in the row-vector convention (rotation in the upper
    // 3x3, translation in row 3, last column 0 0 0 1), rotation order XYZ: R = Rx * Ry * Rz.
    // Depends on kind and index only, not on the channel's name.
    static double channelValue(ChannelKind kind, std::size_t channelIndex, std::size_t element,
                               double timestamp);
    // What matrix channel matrixIndex carries at a timestamp: translation x y z, and rotation
    // x y z as Euler angles in radians, XYZ order (each angle within (-pi/2, pi/2)).
    static std::array<double, 3> matrixTranslation(std::size_t matrixIndex, double timestamp);
    static std::array<double, 3> matrixRotation(std::size_t matrixIndex, double timestamp);

    // The channel list reply: names one per line, a "#" line between two sections.
    static std::string channelListText(const ChannelNameLists& channels);
    // Reads a text in the channel list reply format (the --channels file): lines are names, a
    // line starting with "#" begins the next section. Names of a fourth or later section are
    // dropped. A CR before the LF is dropped; empty lines are skipped.
    static ChannelNameLists parseChannelList(const std::string& text);
    // The data message for a timestamp (already a multiple of 2^-16 s; see roundTimestamp).
    static std::string dataMessageText(const ChannelNameLists& channels, double timestamp);
    // The values of that message in the flat frame layout: scalars, vector X Y Z, matrix elements
    // row by row. What a receiver decodes.
    static std::vector<double> flatFrame(const ChannelNameLists& channels, double timestamp);
    // A timestamp rounded to a multiple of 2^-16 s, as the app sends it.
    static double roundTimestamp(double seconds);
    // A message as it travels: 16-byte fresh random IV, then the padded ciphertext.
    static std::vector<std::uint8_t> encryptMessage(const std::string& text);
    // The USB framing of one encrypted message: "%08d" of its length, then the message.
    static std::vector<std::uint8_t> usbFrame(const std::vector<std::uint8_t>& message);

    // Byte i of the video served: (i * 31 + (i >> 8)) & 0xFF.
    static std::uint8_t videoByte(std::size_t i);
    // The first n bytes of the video.
    static std::string videoContent(std::size_t n);

  private:
    class Engine;
    PhoneSimOptions options_;
    std::unique_ptr<Engine> engine_;
};
