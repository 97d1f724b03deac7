#include "PhoneSimEngine.h"

#include <boost/asio/post.hpp>
#include <condition_variable>
#include <exception>
#include <stdexcept>

#include "UsbEndpoint.h"
#include "UsbmuxdStandIn.h"
#include "WifiEndpoint.h"

namespace {

unsigned short checkedPort(int port, const char* what) {
    if (port > 65535)
        throw std::runtime_error(std::string("phonesim: ") + what + " port " +
                                 std::to_string(port) + " is out of range");
    return static_cast<unsigned short>(port);
}

std::string bindFailure(const char* what, const std::string& address, int port,
                        const boost::system::system_error& error) {
    return std::string("phonesim: cannot bind ") + what + " " + address + ":" +
           std::to_string(port) + ": " + error.code().message();
}

}  // namespace

PhoneSim::Engine::Engine(const PhoneSimOptions& options)
    : options_(options), context_(io_, options_, stats) {}

PhoneSim::Engine::~Engine() {
    stop();
}

void PhoneSim::Engine::bindEndpoints() {
    const std::string& address = options_.bindAddress;
    boost::system::error_code addressError;
    boost::asio::ip::make_address(address, addressError);
    if (addressError)
        throw std::runtime_error("phonesim: bind address is no IP address: " + address);
    if (options_.udpPort >= 0) {
        try {
            wifi_ = std::make_unique<WifiEndpoint>(context_, checkedPort(options_.udpPort, "udp"));
        } catch (const boost::system::system_error& error) {
            throw std::runtime_error(bindFailure("wifi udp", address, options_.udpPort, error));
        }
    }
    if (options_.usbPort >= 0) {
        try {
            usb_ = std::make_unique<UsbEndpoint>(context_, checkedPort(options_.usbPort, "usb"));
        } catch (const boost::system::system_error& error) {
            throw std::runtime_error(bindFailure("usb tcp", address, options_.usbPort, error));
        }
    }
    if (!options_.usbmuxdSocket.empty())
        usbmuxd_ = std::make_unique<UsbmuxdStandIn>(context_, options_.usbmuxdSocket);
}

void PhoneSim::Engine::start() {
    std::lock_guard<std::mutex> lock(lifecycle_);
    if (started_) throw std::runtime_error("phonesim: already started");
    started_ = true;
    try {
        bindEndpoints();
    } catch (...) {
        closeEndpoints();
        throw;
    }
    if (wifi_) {
        udpPort_ = wifi_->port();
        wifi_->begin();
    }
    if (usb_) {
        usbPort_ = usb_->port();
        usb_->begin();
    }
    if (usbmuxd_) {
        socketPath_ = usbmuxd_->path();
        usbmuxd_->begin();
    }
    running_ = true;
    thread_ = std::thread([this] { io_.run(); });
}

void PhoneSim::Engine::closeEndpoints() {
    if (wifi_) wifi_->close();
    if (usb_) usb_->close();
    if (usbmuxd_) usbmuxd_->close();
    context_.videos.closeAll();
}

void PhoneSim::Engine::stop() {
    std::lock_guard<std::mutex> lock(lifecycle_);
    if (running_) {
        running_ = false;
        boost::asio::post(io_, [this] {
            closeEndpoints();
            io_.stop();
        });
        thread_.join();
        // Let the completions of the closed sockets run, so that every session lets go now.
        io_.restart();
        io_.poll();
    }
    wifi_.reset();
    usb_.reset();
    usbmuxd_.reset();  // removes the socket file
}

std::string PhoneSim::Engine::usbmuxdSocketPath() const {
    std::lock_guard<std::mutex> lock(lifecycle_);
    return socketPath_;
}

template <typename Work>
bool PhoneSim::Engine::runOnLoop(Work work) {
    std::lock_guard<std::mutex> lock(lifecycle_);
    if (!running_) return false;
    // Guards done and failure: written on the loop's thread, waited for here.
    std::mutex doneMutex;
    std::condition_variable doneChanged;
    bool done = false;
    std::exception_ptr failure;
    boost::asio::post(io_, [&] {
        std::exception_ptr caught;
        try {
            work();
        } catch (...) {
            caught = std::current_exception();
        }
        std::lock_guard<std::mutex> doneLock(doneMutex);
        failure = caught;
        done = true;
        doneChanged.notify_one();
    });
    std::unique_lock<std::mutex> doneLock(doneMutex);
    doneChanged.wait(doneLock, [&] { return done; });
    if (failure) std::rethrow_exception(failure);
    return true;
}

std::size_t PhoneSim::Engine::sendFrame(double timestamp) {
    std::size_t sessions = 0;
    runOnLoop([&] {
        if (wifi_) sessions += wifi_->sendFrame(timestamp);
        if (usb_) sessions += usb_->sendFrame(timestamp);
    });
    return sessions;
}

void PhoneSim::Engine::setAnswer(PhoneAnswer answer) {
    if (runOnLoop([&] { context_.answer = answer; })) return;
    std::lock_guard<std::mutex> lock(lifecycle_);
    context_.answer = answer;  // the loop is not running: nobody else reads it now
}

void PhoneSim::Engine::vanish() {
    runOnLoop([&] {
        if (wifi_) wifi_->forgetSessions();
        if (usb_) usb_->closeSessions();
    });
}
