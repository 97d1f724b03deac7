#include "AppSession.h"

#include "MessageComposer.h"

namespace {

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// A schedule that has fallen this far behind (a stalled machine) starts again from now rather
// than sending a burst.
constexpr std::chrono::seconds kMaxLag{1};

}  // namespace

AppSession::AppSession(PhoneContext& context, std::string transportName)
    : context_(context), transportName_(std::move(transportName)), frameTimer_(context.io) {}

void AppSession::handleCommand(const std::string& text) {
    context_.stats.recordCommand(text);
    context_.log(transportName_ + " command: " + text);
    if (startsWith(text, "connect")) {
        answerConnect();
    } else if (!connected_) {
        context_.log(transportName_ + ": ignored, no accepted connection");
    } else if (text == "start" || text == "start -video") {
        startStreaming(text == "start -video");
    } else if (text == "pause") {
        haltStream();
    } else if (text == "stop") {
        haltStream();
        connected_ = false;
        withVideo_ = false;
    } else if (startsWith(text, "saveCapture -timeInverval ")) {
        answerSave();
    } else {
        context_.log(transportName_ + ": unknown command ignored");
    }
}

void AppSession::answerConnect() {
    haltStream();
    connected_ = false;
    withVideo_ = false;
    clockStarted_ = false;
    dataMessages_ = 0;
    switch (context_.answer) {
        case PhoneAnswer::accept:
            connected_ = true;
            sendMessage(context_.options.rawChannelList.empty()
                            ? PhoneSim::channelListText(context_.options.channels)
                            : context_.options.rawChannelList);
            break;
        case PhoneAnswer::reject:
            sendMessage("/reject");
            break;
        case PhoneAnswer::rejectWrongScreen:
            sendMessage("/reject-wrong-screen");
            break;
        case PhoneAnswer::silent:
            break;
    }
}

void AppSession::startStreaming(bool withVideo) {
    withVideo_ = withVideo;
    if (!clockStarted_) {
        streamStart_ = std::chrono::steady_clock::now();
        clockStarted_ = true;
    }
    streaming_ = true;
    if (resetIsDue()) {
        sendReset();
        return;
    }
    if (context_.options.rate > 0.0) {
        nextFrameAt_ = std::chrono::steady_clock::now();
        armFrameTimer();
    }
}

void AppSession::haltStream() {
    streaming_ = false;
    ++timerGeneration_;
    frameTimer_.cancel();
}

void AppSession::close() {
    haltStream();
    connected_ = false;
}

void AppSession::answerSave() {
    if (!withVideo_) {
        sendMessage("video -cancel");
        return;
    }
    if (!context_.options.videoReply.empty()) {
        sendMessage(context_.options.videoReply);
        return;
    }
    try {
        const unsigned short port = context_.videos.offer();
        context_.log(transportName_ + ": video offered on port " + std::to_string(port));
        sendMessage("video -port " + std::to_string(port));
    } catch (const std::exception& error) {
        context_.log(transportName_ + ": cannot offer the video: " + error.what());
        sendMessage("video -cancel");
    }
}

void AppSession::armFrameTimer() {
    const std::uint64_t generation = ++timerGeneration_;
    frameTimer_.expires_at(nextFrameAt_);
    std::weak_ptr<AppSession> weak = weak_from_this();
    frameTimer_.async_wait([weak, generation](const boost::system::error_code& error) {
        auto self = weak.lock();
        if (!self || error || generation != self->timerGeneration_ || !self->streaming_) return;
        self->sendDataMessage(self->nextTimestamp());
        if (!self->streaming_) return;  // a reset ended the stream
        const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(1.0 / self->context_.options.rate));
        self->nextFrameAt_ += period;
        const auto now = std::chrono::steady_clock::now();
        if (self->nextFrameAt_ + kMaxLag < now) self->nextFrameAt_ = now;
        self->armFrameTimer();
    });
}

double AppSession::nextTimestamp() const {
    const PhoneSimOptions& options = context_.options;
    if (options.timestampStep > 0.0)
        return PhoneSim::roundTimestamp(options.timestampOffset +
                                        static_cast<double>(dataMessages_) * options.timestampStep);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - streamStart_;
    return PhoneSim::roundTimestamp(options.timestampOffset + elapsed.count());
}

bool AppSession::sendFrameNow(double timestamp) {
    if (!streaming_) return false;
    sendDataMessage(PhoneSim::roundTimestamp(timestamp));
    return true;
}

void AppSession::sendDataMessage(double timestamp) {
    const PhoneSimOptions& options = context_.options;
    const std::uint64_t number = ++dataMessages_;
    beforeDataMessage(number);
    const bool malformed = options.malformedEvery > 0 &&
                           number % static_cast<std::uint64_t>(options.malformedEvery) == 0;
    sendMessage(composeDataMessage(options.channels, timestamp, malformed));
    context_.stats.recordFrame(timestamp);
    afterDataMessage(number);
    if (resetIsDue()) sendReset();
}

bool AppSession::resetIsDue() const {
    return context_.options.resetAfter >= 0 &&
           dataMessages_ >= static_cast<std::uint64_t>(context_.options.resetAfter);
}

void AppSession::sendReset() {
    context_.log(transportName_ + ": sending /reset");
    sendMessage("/reset");
    haltStream();
    connected_ = false;
    withVideo_ = false;
}
