#pragma once
// Helpers for the transport's integration tests: a temporary folder, an owner that records the
// end of a session, and waiting for a condition with a deadline.

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <mutex>
#include <random>
#include <string>
#include <thread>

#include <gtest/gtest.h>

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

// Sends standard output to a file while it lives, so that a test can wait for a line that
// another thread writes.
class OutputWatch {
public:
    OutputWatch() {
        std::fflush(stdout);
        std::cout.flush();
        saved_ = ::dup(STDOUT_FILENO);
        const int file = ::open(folder_.file("stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(file, STDOUT_FILENO);
        ::close(file);
    }
    ~OutputWatch() {
        std::cout.flush();
        std::fflush(stdout);
        ::dup2(saved_, STDOUT_FILENO);
        ::close(saved_);
        std::cout << text();
    }
    OutputWatch(const OutputWatch&) = delete;
    OutputWatch& operator=(const OutputWatch&) = delete;

    std::string text() const {
        std::ifstream in(folder_.file("stdout"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Waits, checking every few milliseconds, until the output holds what.
    bool waitFor(const std::string& what, std::chrono::milliseconds timeout) const {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (text().find(what) == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

private:
    TemporaryFolder folder_;
    int saved_ = -1;
};

// Captures standard output until text() is called; what a failed assertion printed meanwhile is
// shown again when the capture ends early.
class StdoutCapture {
public:
    StdoutCapture() { testing::internal::CaptureStdout(); }
    ~StdoutCapture() {
        if (!taken_) std::cout << testing::internal::GetCapturedStdout();
    }
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    const std::string& text() {
        if (!taken_) text_ = testing::internal::GetCapturedStdout();
        taken_ = true;
        return text_;
    }

private:
    bool taken_ = false;
    std::string text_;
};
