#pragma once
// Standard output in tests: captured whole (StdoutCapture) or watched while other threads write
// to it (OutputWatch).

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "support/TemporaryFolder.h"
#include "support/WaitUntil.h"

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
        return waitUntil([&] { return text().find(what) != std::string::npos; }, timeout);
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
