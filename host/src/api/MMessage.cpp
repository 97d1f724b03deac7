#include <maya/MMessage.h>

#include <atomic>

#include "api/Callbacks.h"

namespace headless::detail {

MCallbackId nextCallbackId() {
    // Callbacks of user events may be added from any thread.
    static std::atomic<MCallbackId> next{1};
    return next++;
}

}  // namespace headless::detail

MStatus MMessage::removeCallback(MCallbackId id) {
    using namespace headless::detail;
    const bool removed = removeUserEventCallback(id) || removeSceneCallback(id) ||
                         removeNodeCallback(id) || removeCommandOutputCallback(id);
    return removed ? MStatus::kSuccess : MStatus::kInvalidParameter;
}
