#pragma once
// One connection to the app, whatever the transport: the command protocol, the stream of data
// messages and the video offers. Lives on the stand-in's thread.

#include <boost/asio/steady_timer.hpp>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "PhoneContext.h"

class AppSession : public std::enable_shared_from_this<AppSession> {
  public:
    AppSession(PhoneContext& context, std::string transportName);
    virtual ~AppSession() = default;
    AppSession(const AppSession&) = delete;
    AppSession& operator=(const AppSession&) = delete;

    void handleCommand(const std::string& text);
    bool isStreaming() const { return streaming_; }
    // Sends one data message now with this timestamp, if streaming.
    bool sendFrameNow(double timestamp);
    // Ends the stream; the transport closes its socket on top.
    virtual void close();

  protected:
    // Encrypts and sends one message.
    virtual void sendMessage(const std::string& text) = 0;
    // Hooks around each data message (numbered from 1 within the session).
    virtual void beforeDataMessage(std::uint64_t) {}
    virtual void afterDataMessage(std::uint64_t) {}

    PhoneContext& context_;

  private:
    void answerConnect();
    void startStreaming(bool withVideo);
    void haltStream();
    void answerSave();
    void armFrameTimer();
    void sendDataMessage(double timestamp);
    double nextTimestamp() const;
    bool resetIsDue() const;
    void sendReset();

    std::string transportName_;
    boost::asio::steady_timer frameTimer_;
    std::uint64_t timerGeneration_ = 0;  // a restart makes older timer completions void
    std::chrono::steady_clock::time_point nextFrameAt_;
    std::chrono::steady_clock::time_point streamStart_;
    bool clockStarted_ = false;
    bool connected_ = false;
    bool streaming_ = false;
    bool withVideo_ = false;
    std::uint64_t dataMessages_ = 0;
};
