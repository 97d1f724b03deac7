#include <maya/MUserEventMessage.h>
#include "core/ThreadCheck.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <headless/UserEvents.h>

#include "api/Callbacks.h"

namespace {

struct Callback {
    MCallbackId id;
    std::string event;
    MMessage::MBasicFunction function;
    void* clientData;
};

// Events may be posted from any thread, so every access is guarded.
struct EventTable {
    std::mutex mutex;
    std::map<std::string, std::size_t> posted;  // event -> times posted
    std::vector<std::string> registered;
    std::vector<Callback> callbacks;
};

EventTable& table() {
    static EventTable instance;
    return instance;
}

bool known(const EventTable& t, const std::string& event) {
    for (const auto& name : t.registered) {
        if (name == event) return true;
    }
    return false;
}

}  // namespace

MStatus MUserEventMessage::registerUserEvent(const MString& event) {
    headless::detail::requireMainThread("MUserEventMessage::registerUserEvent");
    auto& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (event.length() == 0 || known(t, event.asChar())) return MStatus::kFailure;
    t.registered.emplace_back(event.asChar());
    return MStatus::kSuccess;
}

bool MUserEventMessage::isUserEvent(const MString& event) {
    auto& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    return known(t, event.asChar());
}

MStatus MUserEventMessage::deregisterUserEvent(const MString& event) {
    headless::detail::requireMainThread("MUserEventMessage::deregisterUserEvent");
    auto& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    const std::string name = event.asChar();
    if (!known(t, name)) return MStatus::kFailure;
    t.registered.erase(std::find(t.registered.begin(), t.registered.end(), name));
    t.callbacks.erase(std::remove_if(t.callbacks.begin(), t.callbacks.end(),
                                     [&](const Callback& c) { return c.event == name; }),
                      t.callbacks.end());
    return MStatus::kSuccess;
}

MStatus MUserEventMessage::postUserEvent(const MString& event, void* clientData) {
    headless::detail::requireMainThread("MUserEventMessage::postUserEvent");
    auto& t = table();
    std::vector<Callback> toCall;
    {
        std::lock_guard<std::mutex> lock(t.mutex);
        const std::string name = event.asChar();
        if (!known(t, name)) return MStatus::kFailure;
        ++t.posted[name];
        for (const auto& c : t.callbacks) {
            if (c.event == name) toCall.push_back(c);
        }
    }
    // Callbacks run outside the lock so that they may post or register in turn.
    for (const auto& c : toCall) c.function(clientData ? clientData : c.clientData);
    return MStatus::kSuccess;
}

MCallbackId MUserEventMessage::addUserEventCallback(const MString& event,
                                                    MMessage::MBasicFunction func, void* clientData,
                                                    MStatus* returnStatus) {
    auto& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    const bool ok = func && known(t, event.asChar());
    if (returnStatus) *returnStatus = ok ? MStatus::kSuccess : MStatus::kFailure;
    if (!ok) return 0;
    const MCallbackId id = headless::detail::nextCallbackId();
    t.callbacks.push_back(Callback{id, event.asChar(), func, clientData});
    return id;
}

bool headless::detail::removeUserEventCallback(MCallbackId id) {
    auto& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    const auto before = t.callbacks.size();
    t.callbacks.erase(std::remove_if(t.callbacks.begin(), t.callbacks.end(),
                                     [&](const Callback& c) { return c.id == id; }),
                      t.callbacks.end());
    return t.callbacks.size() < before;
}

namespace headless {

std::size_t userEventPostCount(const std::string& event) {
    auto& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    const auto at = t.posted.find(event);
    return at == t.posted.end() ? 0 : at->second;
}

std::vector<PostedUserEvent> postedUserEvents() {
    auto& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    std::vector<PostedUserEvent> all;
    for (const auto& [name, count] : t.posted) all.push_back(PostedUserEvent{name, count});
    return all;
}

void clearPostedUserEvents() {
    auto& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    t.posted.clear();
}

}  // namespace headless
