#pragma once
// The host's callback registries share one id space, so that MMessage::removeCallback finds a
// callback wherever it was added.

#include <algorithm>
#include <vector>

#include <maya/MMessage.h>

namespace headless::detail {

MCallbackId nextCallbackId();

// The callbacks of one kind, each listening to a key (a node, a message); main thread only, as
// the changes they report.
template <typename Key, typename Function>
class CallbackList {
  public:
    struct Entry {
        MCallbackId id;
        Key key;
        Function function;
        void* clientData;
    };

    MCallbackId add(const Key& key, Function function, void* clientData) {
        const MCallbackId id = nextCallbackId();
        entries_.push_back(Entry{id, key, function, clientData});
        return id;
    }

    bool remove(MCallbackId id) {
        const auto at = std::find_if(entries_.begin(), entries_.end(),
                                     [id](const Entry& e) { return e.id == id; });
        if (at == entries_.end()) return false;
        entries_.erase(at);
        return true;
    }

    bool empty() const { return entries_.empty(); }

    bool holds(MCallbackId id) const {
        return std::any_of(entries_.begin(), entries_.end(),
                           [id](const Entry& e) { return e.id == id; });
    }

    // A copy, to call from: a callback may add or remove callbacks.
    std::vector<Entry> listeningTo(const Key& key) const {
        std::vector<Entry> listening;
        for (const auto& e : entries_) {
            if (e.key == key) listening.push_back(e);
        }
        return listening;
    }

  private:
    std::vector<Entry> entries_;
};

// Each removes the callback if it holds it.
bool removeUserEventCallback(MCallbackId id);
bool removeSceneCallback(MCallbackId id);
bool removeNodeCallback(MCallbackId id);
bool removeCommandOutputCallback(MCallbackId id);

}  // namespace headless::detail
