#pragma once
// Headless host: the user events posted so far (MUserEventMessage::postUserEvent), for tests.
// Thread-safe.

#include <cstddef>
#include <string>
#include <vector>

namespace headless {

struct PostedUserEvent {
    std::string name;
    std::size_t count = 0;
};

// How often the event was posted since the last clear.
std::size_t userEventPostCount(const std::string& event);
// Every event posted since the last clear, by name, with its count.
std::vector<PostedUserEvent> postedUserEvents();
void clearPostedUserEvents();

}  // namespace headless
