#include "transport/connection/SocketWaiter.h"

#include <cerrno>
#include <cstdint>
#include <system_error>

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif
#if defined(__linux__)
#include <sys/eventfd.h>
#endif

namespace {

[[noreturn]] void failWith(int code, const char* what) {
    throw std::system_error(code, std::system_category(), what);
}

}  // namespace

#if defined(__linux__)

SocketWaiter::SocketWaiter() : event_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (event_ < 0) failWith(errno, "eventfd");
}

SocketWaiter::~SocketWaiter() {
    ::close(event_);
}

void SocketWaiter::wake() {
    const std::uint64_t one = 1;
    // Fails only when the counter is full, which still wakes the waiter.
    while (::write(event_, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void SocketWaiter::drain() {
    std::uint64_t count = 0;
    while (::read(event_, &count, sizeof count) < 0 && errno == EINTR) {
    }
}

SocketWaiter::Ready SocketWaiter::wait(int socket, std::chrono::milliseconds timeout) {
    pollfd handles[2] = {{event_, POLLIN, 0}, {socket, POLLIN, 0}};
    const nfds_t count = socket >= 0 ? 2 : 1;
    Ready ready;
    if (::poll(handles, count, static_cast<int>(timeout.count())) <= 0) return ready;
    ready.woken = (handles[0].revents & POLLIN) != 0;
    ready.readable = count == 2 && handles[1].revents != 0;  // data, a closed peer or an error
    if (ready.woken) drain();
    return ready;
}

#elif defined(_WIN32)

namespace {

using Handle = SOCKET;

Handle handleOf(long long value) {
    return static_cast<Handle>(value);
}

void closeHandle(long long value) {
    if (handleOf(value) != INVALID_SOCKET) ::closesocket(handleOf(value));
}

void setNonBlocking(Handle handle) {
    u_long on = 1;
    ::ioctlsocket(handle, FIONBIO, &on);
}

}  // namespace

// Windows has no socket pair: a listener on the loopback address accepts one connection from
// a socket of our own, and is closed again.
SocketWaiter::SocketWaiter() {
    WSADATA data;
    const int started = ::WSAStartup(MAKEWORD(2, 2), &data);
    if (started != 0) failWith(started, "WSAStartup");
    Handle listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    Handle writer = INVALID_SOCKET;
    Handle reader = INVALID_SOCKET;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    const bool paired =
        listener != INVALID_SOCKET &&
        ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
        ::listen(listener, 1) == 0 &&
        (writer = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) != INVALID_SOCKET &&
        ::connect(writer, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        (reader = ::accept(listener, nullptr, nullptr)) != INVALID_SOCKET;
    const int error = ::WSAGetLastError();
    if (listener != INVALID_SOCKET) ::closesocket(listener);
    if (!paired) {
        if (writer != INVALID_SOCKET) ::closesocket(writer);
        ::WSACleanup();
        failWith(error, "the wake-up socket pair");
    }
    setNonBlocking(reader);
    setNonBlocking(writer);
    readEnd_ = static_cast<long long>(reader);
    writeEnd_ = static_cast<long long>(writer);
}

SocketWaiter::~SocketWaiter() {
    closeHandle(readEnd_);
    closeHandle(writeEnd_);
    ::WSACleanup();
}

void SocketWaiter::wake() {
    const char one = 1;
    // A full pipe already wakes the waiter, so a failed send loses nothing.
    ::send(handleOf(writeEnd_), &one, 1, 0);
}

void SocketWaiter::drain() {
    char bytes[64];
    while (::recv(handleOf(readEnd_), bytes, sizeof bytes, 0) > 0) {
    }
}

SocketWaiter::Ready SocketWaiter::wait(int socket, std::chrono::milliseconds timeout) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(handleOf(readEnd_), &readable);
    if (socket >= 0) FD_SET(static_cast<Handle>(socket), &readable);
    fd_set failed = readable;
    timeval limit{static_cast<long>(timeout.count() / 1000),
                  static_cast<long>(timeout.count() % 1000) * 1000};
    Ready ready;
    // The first argument is ignored on Windows.
    if (::select(0, &readable, nullptr, &failed, &limit) <= 0) return ready;
    ready.woken = FD_ISSET(handleOf(readEnd_), &readable) != 0;
    ready.readable = socket >= 0 && (FD_ISSET(static_cast<Handle>(socket), &readable) != 0 ||
                                     FD_ISSET(static_cast<Handle>(socket), &failed) != 0);
    if (ready.woken) drain();
    return ready;
}

#else  // other POSIX systems (macOS): a UNIX socket pair

namespace {

void closeHandle(long long value) {
    if (value >= 0) ::close(static_cast<int>(value));
}

}  // namespace

SocketWaiter::SocketWaiter() {
    int pair[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, pair) != 0) failWith(errno, "socketpair");
    for (const int end : pair) {
        ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
    }
    readEnd_ = pair[0];
    writeEnd_ = pair[1];
}

SocketWaiter::~SocketWaiter() {
    closeHandle(readEnd_);
    closeHandle(writeEnd_);
}

void SocketWaiter::wake() {
    const char one = 1;
    // A full pair already wakes the waiter, so a failed send loses nothing.
    while (::send(static_cast<int>(writeEnd_), &one, 1, 0) < 0 && errno == EINTR) {
    }
}

void SocketWaiter::drain() {
    char bytes[64];
    while (::recv(static_cast<int>(readEnd_), bytes, sizeof bytes, 0) > 0) {
    }
}

SocketWaiter::Ready SocketWaiter::wait(int socket, std::chrono::milliseconds timeout) {
    pollfd handles[2] = {{static_cast<int>(readEnd_), POLLIN, 0}, {socket, POLLIN, 0}};
    const nfds_t count = socket >= 0 ? 2 : 1;
    Ready ready;
    if (::poll(handles, count, static_cast<int>(timeout.count())) <= 0) return ready;
    ready.woken = (handles[0].revents & POLLIN) != 0;
    ready.readable = count == 2 && handles[1].revents != 0;
    if (ready.woken) drain();
    return ready;
}

#endif
