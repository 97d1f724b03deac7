#pragma once
// Helpers for the transport's integration tests: a temporary folder, an owner that records the
// end of a session, and waiting for a condition with a deadline.

#include <fcntl.h>
#include <unistd.h>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <mutex>
#include <random>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "support/OutputCapture.h"
#include "support/TemporaryFolder.h"
#include "support/WaitUntil.h"
#include "transport/records/StreamInterfaces.h"

// A fresh folder under the system's temporary folder, removed with everything in it.
// The owner of a connection: counts the sessions that ended.
class SessionOwner : public DataStreamClient {
  public:
    void onConnectionLost() override {
        std::lock_guard<std::mutex> lock(mutex_);
        ++lost_;
        changed_.notify_all();
    }
    int lostCount() {
        std::lock_guard<std::mutex> lock(mutex_);
        return lost_;
    }
    bool waitForLost(int count, std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return lost_ >= count; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int lost_ = 0;  // guarded by mutex_
};

inline std::string fileContent(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline bool fileHasSize(const std::string& path, std::uintmax_t size) {
    std::error_code error;
    return std::filesystem::file_size(path, error) == size && !error;
}
