#include "transport/connection/UsbTunnel.h"

#include <usbmuxd.h>

#include <cerrno>
#include <utility>

#ifndef _WIN32
#include <csignal>
#include <ctime>
#endif

namespace {

#ifndef _WIN32
// A send on a tunnel that the phone closed raises SIGPIPE, which would end the host. It is
// blocked on this thread for the send, and a SIGPIPE that the send left pending is taken back.
class SigpipeGuard {
  public:
    SigpipeGuard() {
        sigemptyset(&pipeOnly_);
        sigaddset(&pipeOnly_, SIGPIPE);
        sigset_t pending;
        sigemptyset(&pending);
        sigpending(&pending);
        wasPending_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipeOnly_, &previous_);
    }
    ~SigpipeGuard() {
        if (!wasPending_) {
            sigset_t pending;
            sigemptyset(&pending);
            sigpending(&pending);
            if (sigismember(&pending, SIGPIPE) == 1) {
                const timespec noWait{0, 0};
                while (sigtimedwait(&pipeOnly_, nullptr, &noWait) == -1 && errno == EINTR) {
                }
            }
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    SigpipeGuard(const SigpipeGuard&) = delete;
    SigpipeGuard& operator=(const SigpipeGuard&) = delete;

  private:
    sigset_t pipeOnly_;
    sigset_t previous_;
    bool wasPending_ = false;
};
#endif

}  // namespace

UsbTunnel::~UsbTunnel() {
    close();
}

UsbTunnel::UsbTunnel(UsbTunnel&& other) noexcept : socket_(std::exchange(other.socket_, -1)) {}

UsbTunnel& UsbTunnel::operator=(UsbTunnel&& other) noexcept {
    if (this != &other) {
        close();
        socket_ = std::exchange(other.socket_, -1);
    }
    return *this;
}

UsbTunnel UsbTunnel::connect(std::uint32_t deviceHandle, unsigned short port) {
    const int socket = usbmuxd_connect(deviceHandle, port);
    return UsbTunnel(socket >= 0 ? socket : -1);
}

bool UsbTunnel::sendAll(const std::uint8_t* data, std::size_t byteCount) {
    if (socket_ < 0) return false;
#ifndef _WIN32
    SigpipeGuard guard;
#endif
    while (byteCount > 0) {
        std::uint32_t sent = 0;
        const int result = usbmuxd_send(socket_, reinterpret_cast<const char*>(data),
                                        static_cast<std::uint32_t>(byteCount), &sent);
        if (result != 0 || sent == 0 || sent > byteCount) return false;
        data += sent;
        byteCount -= sent;
    }
    return true;
}

UsbTunnel::ReceiveStatus UsbTunnel::receive(std::uint8_t* buffer, std::size_t capacity,
                                            std::chrono::milliseconds timeout,
                                            std::size_t& received) {
    received = 0;
    if (socket_ < 0) return ReceiveStatus::closed;
    std::uint32_t count = 0;
    const int result = usbmuxd_recv_timeout(socket_, reinterpret_cast<char*>(buffer),
                                            static_cast<std::uint32_t>(capacity), &count,
                                            static_cast<unsigned int>(timeout.count()));
    // A time-out and a closed peer both bring 0 bytes; only the result tells them apart.
    if (result == 0 && count > 0) {
        received = count;
        return ReceiveStatus::data;
    }
    if (result == 0 || result == -ETIMEDOUT || result == -EAGAIN || result == -EINTR) {
        return ReceiveStatus::quiet;
    }
    return ReceiveStatus::closed;
}

void UsbTunnel::close() {
    if (socket_ >= 0) usbmuxd_disconnect(socket_);
    socket_ = -1;
}
