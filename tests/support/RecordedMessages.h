#pragma once
// A message sink that keeps what the plug-in's threads post, for tests that run the writer or
// the transport without the plug-in's queue. Installed for its lifetime.

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "transport/messages/MessageSink.h"

class RecordedMessages : public MessageSink {
  public:
    RecordedMessages() { setMessageSink(this); }
    ~RecordedMessages() override { setMessageSink(nullptr); }
    RecordedMessages(const RecordedMessages&) = delete;
    RecordedMessages& operator=(const RecordedMessages&) = delete;

    void post(MessageKind kind, std::string_view text) override {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.emplace_back(kind, std::string(text));
    }

    std::vector<std::pair<MessageKind, std::string>> messages() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return messages_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::pair<MessageKind, std::string>> messages_;  // guarded: any thread posts
};
