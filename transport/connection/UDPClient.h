#pragma once
// The Wi-Fi transport: text commands to the phone's UDP port, one encrypted message per datagram
// back to a local port announced in the connect command, and video downloads over TCP. Every
// step of a session runs on one event loop, driven by run() on the session thread.

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/udp.hpp>
#include <boost/asio/steady_timer.hpp>

#include "transport/protocol/PhoneMessageDecryptor.h"
#include "transport/protocol/StreamDrops.h"
#include "transport/records/StreamInterfaces.h"

class TcpVideoDownload;

// Whether the address (a number or a host name) and port resolve to an IPv4 endpoint the way the
// client resolves them, so that a setting that cannot work is caught before a session starts.
bool phoneAddressResolves(const std::string& address, const std::string& port);
// The endpoint they resolve to ("192.168.0.42:35601"), or an empty text when they do not.
std::string resolvedPhoneAddress(const std::string& address, const std::string& port);

class UDPClient final : public CaptureDataStreamDeviceInterface {
  public:
    static constexpr std::chrono::seconds kReplyTimeout{1};
    // The largest UDP payload over IPv4: every datagram is taken whole.
    static constexpr std::size_t kDatagramBytes = 65507;

    // Opens and binds the UDP socket (to receivePort, or to a free port when it is 0) and resolves
    // the phone's address and port (a number or a service name). Throws
    // boost::system::system_error when any of it fails. drops: where the client counts what it
    // drops; its own counter when null.
    UDPClient(std::string address, std::string port, std::unique_ptr<IDataHandler> handler,
              unsigned short receivePort = 0, StreamDropCounter* drops = nullptr);
    ~UDPClient() override;
    UDPClient(const UDPClient&) = delete;
    UDPClient& operator=(const UDPClient&) = delete;

    void run() override;
    void start(bool withVideo) override;
    void pause() override;
    void saveCapture(std::string path, double startTime, double endTime) override;
    void stop() override;

    unsigned localPort() const { return localPort_; }

  private:
    enum class ReceiveStep { connectReply, message };

    bool isStopped();
    void endSession();
    // Hands a command to the event loop; after runs there once the send has completed.
    void sendCommand(std::string text, std::function<void()> after);
    void receive(ReceiveStep step);
    void onConnectReply(const boost::system::error_code& error, std::size_t received);
    void onMessage(const boost::system::error_code& error, std::size_t received);
    // False (and counted) when the datagram just received is not to be read: another sender,
    // or too long to take whole.
    bool acceptDatagram(const boost::system::error_code& error);
    bool decryptDatagram(std::size_t received, std::string& text);
    void handleMessage(std::string text);
    void startVideoDownload(int port, const std::string& path);
    void finishVideoDownloads();

    std::unique_ptr<IDataHandler> handler_;
    StreamDropCounter ownDrops_;
    StreamDropCounter* drops_;  // not owned, or ownDrops_
    std::string address_;
    boost::asio::io_context loop_;  // declared before everything that lives on it
    boost::asio::ip::udp::socket socket_;
    boost::asio::ip::udp::endpoint phone_;
    boost::asio::ip::udp::endpoint sender_;
    unsigned localPort_ = 0;
    std::array<std::uint8_t, kDatagramBytes> receiveBuffer_{};
    // The phone answers connect from the port it streams from; once it has, datagrams from any
    // other port are dropped. Used on the event loop only.
    bool phonePortKnown_ = false;
    unsigned short phoneSourcePort_ = 0;
    bool strayPortReported_ = false;
    bool earlyDataReported_ = false;
    PhoneMessageDecryptor decryptor_{kDatagramBytes};
    boost::asio::steady_timer replyTimer_;
    boost::asio::steady_timer retryTimer_;

    // Commands come from other threads while the loop runs.
    std::mutex stopMutex_;
    bool stopped_ = false;  // guarded by stopMutex_

    // Used on the event loop only.
    // The paths of the saves that the phone has yet to answer, oldest first: each answer is for
    // the oldest one.
    std::deque<std::string> awaitedVideos_;
    std::vector<std::shared_ptr<TcpVideoDownload>> downloads_;
};
