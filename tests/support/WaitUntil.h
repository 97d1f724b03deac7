#pragma once
// Waiting on a condition with a deadline, never on a fixed sleep: the suites run on loaded
// machines and under the sanitizers.

#include <chrono>
#include <thread>

// Checks the condition every few milliseconds until it holds (true) or the deadline passes (false).
template <typename Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
