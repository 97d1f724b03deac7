#include "plugin/messages/PluginMessages.h"

#include <maya/MGlobal.h>
#include <maya/MString.h>

#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

class MessageQueue : public MessageSink {
  public:
    void post(MessageKind kind, std::string_view text) override {
        std::lock_guard<std::mutex> lock(mutex_);
        queued_.emplace_back(kind, std::string(text));
    }

    using Messages = std::vector<std::pair<MessageKind, std::string>>;

    // Takes the whole queue at once, so that Maya is called without the lock held and a message
    // posted meanwhile waits for the next drain. An empty queue costs a lock and no allocation:
    // every compute drains.
    bool takeAll(Messages& taken) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (queued_.empty()) return false;
        taken.swap(queued_);
        return true;
    }

  private:
    std::mutex mutex_;
    Messages queued_;  // guarded by mutex_: any thread posts
};

MessageQueue& queue() {
    static MessageQueue instance;
    return instance;
}

// Maya loads a plug-in on its main thread: the thread that shows the messages.
const std::thread::id mainThread = std::this_thread::get_id();

}  // namespace

MessageSink& pluginMessageQueue() {
    return queue();
}

void showQueuedMessages() {
    // A compute the evaluation manager runs on one of its threads leaves them for the main
    // thread's next compute or command.
    if (std::this_thread::get_id() != mainThread) return;
    MessageQueue::Messages taken;
    if (!queue().takeAll(taken)) return;
    for (const auto& [kind, text] : taken) {
        const MString shown(text.c_str());
        switch (kind) {
            case MessageKind::info:
                MGlobal::displayInfo(shown);
                break;
            case MessageKind::warning:
                MGlobal::displayWarning(shown);
                break;
            case MessageKind::error:
                MGlobal::displayError(shown);
                break;
        }
    }
}
