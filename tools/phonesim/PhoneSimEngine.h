#pragma once
// The stand-in's machinery: one event loop on one thread, and the endpoints it serves.

#include <atomic>
#include <boost/asio/io_context.hpp>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "PhoneContext.h"
#include "PhoneSim.h"
#include "PhoneSimStats.h"

class WifiEndpoint;
class UsbEndpoint;
class UsbmuxdStandIn;

class PhoneSim::Engine {
  public:
    explicit Engine(const PhoneSimOptions& options);
    ~Engine();

    void start();
    void stop();
    unsigned short udpPort() const { return udpPort_; }
    unsigned short usbPort() const { return usbPort_; }
    std::string usbmuxdSocketPath() const;
    std::size_t sendFrame(double timestamp);
    void setAnswer(PhoneAnswer answer);
    void vanish();

    PhoneSimStats stats;

  private:
    void bindEndpoints();
    void closeEndpoints();
    // Runs work on the loop's thread and waits for it; false when the loop is not running.
    template <typename Work>
    bool runOnLoop(Work work);

    boost::asio::io_context io_;  // first: destroyed last, after everything that uses it
    const PhoneSimOptions& options_;
    PhoneContext context_;
    std::unique_ptr<WifiEndpoint> wifi_;
    std::unique_ptr<UsbEndpoint> usb_;
    std::unique_ptr<UsbmuxdStandIn> usbmuxd_;
    std::thread thread_;

    // Guards started_, running_ and socketPath_, and keeps stop() from racing runOnLoop().
    mutable std::mutex lifecycle_;
    bool started_ = false;
    bool running_ = false;
    std::string socketPath_;
    // Written before the loop's thread starts, read by any thread.
    std::atomic<unsigned short> udpPort_{0};
    std::atomic<unsigned short> usbPort_{0};
};
