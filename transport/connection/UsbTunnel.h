#pragma once
// A TCP tunnel to a port on the phone through usbmuxd (libusbmuxd), closed when it goes away.

#include <chrono>
#include <cstddef>
#include <cstdint>

class UsbTunnel {
  public:
    enum class ReceiveStatus {
        data,    // received > 0
        quiet,   // nothing arrived in time
        closed,  // the phone closed the tunnel, or it failed
    };

    UsbTunnel() = default;
    ~UsbTunnel();
    UsbTunnel(UsbTunnel&& other) noexcept;
    UsbTunnel& operator=(UsbTunnel&& other) noexcept;
    UsbTunnel(const UsbTunnel&) = delete;
    UsbTunnel& operator=(const UsbTunnel&) = delete;

    // Not open when usbmuxd refuses.
    static UsbTunnel connect(std::uint32_t deviceHandle, unsigned short port);

    bool isOpen() const { return socket_ >= 0; }
    // The tunnel's socket, for waiting on it; negative when closed.
    int socket() const { return socket_; }
    // Sends every byte. False when the tunnel fails (a closed peer never raises SIGPIPE).
    bool sendAll(const std::uint8_t* data, std::size_t byteCount);
    ReceiveStatus receive(std::uint8_t* buffer, std::size_t capacity,
                          std::chrono::milliseconds timeout, std::size_t& received);
    void close();

  private:
    explicit UsbTunnel(int socket) : socket_(socket) {}
    int socket_ = -1;
};
