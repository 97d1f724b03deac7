#pragma once
// Waits until a socket has something to read or another thread wakes the waiter, whichever
// comes first: a session loop that sleeps on its socket still hears at once that a command
// waits for it. The wake-up is an eventfd on Linux and a connected pair of sockets elsewhere,
// so that the wait is one poll (a select on Windows) over two handles.

#include <chrono>

class SocketWaiter {
  public:
    struct Ready {
        bool readable = false;  // the socket has data, or its peer closed it
        bool woken = false;     // wake() was called since the last wait
    };

    // Throws std::system_error when the wake-up cannot be made.
    SocketWaiter();
    ~SocketWaiter();
    SocketWaiter(const SocketWaiter&) = delete;
    SocketWaiter& operator=(const SocketWaiter&) = delete;

    // Any thread. A wake-up given while nobody waits ends the next wait at once; several given
    // before a wait count as one.
    void wake();

    // One thread at a time. Waits up to the time-out for the socket (a negative socket: only
    // for a wake-up) and takes the pending wake-ups. A failed wait reports neither.
    Ready wait(int socket, std::chrono::milliseconds timeout);

  private:
    void drain();

#if defined(__linux__)
    int event_ = -1;  // eventfd: written by wake(), read back by drain()
#else
    // The write end is written by wake(), the read end waited on and drained. Socket handles
    // are kept as wide integers: a Windows SOCKET does not fit an int.
    long long readEnd_ = -1;
    long long writeEnd_ = -1;
#endif
};
