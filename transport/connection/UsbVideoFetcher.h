#pragma once
// The USB client's video downloads, on a thread of their own so that the session's message loop
// goes on meanwhile: each offer ("video -port N") becomes a job, and the jobs are fetched one at
// a time, in the order the phone offered them, each through a second usbmuxd tunnel into its
// file.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

class UsbVideoFetcher {
  public:
    // silence: a transfer that brings nothing for this long has stalled and ends.
    UsbVideoFetcher(std::chrono::milliseconds poll, std::chrono::milliseconds silence);
    ~UsbVideoFetcher();  // finish()
    UsbVideoFetcher(const UsbVideoFetcher&) = delete;
    UsbVideoFetcher& operator=(const UsbVideoFetcher&) = delete;

    // Queues the video at port on the device; starts the thread on first use.
    void fetch(std::uint32_t deviceHandle, int port, std::string path);
    // The session ends: the transfer in progress is cut off, queued ones are not started, and
    // each says what became of its video. Joins the thread.
    void finish();

  private:
    struct Job {
        std::uint32_t deviceHandle = 0;
        int port = 0;
        std::string path;
    };

    void run();
    void download(const Job& job);
    bool isEnding();

    std::chrono::milliseconds poll_;
    std::chrono::milliseconds silence_;

    // Jobs come from the session thread; the fetching thread takes them.
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;  // guarded by mutex_
    bool ending_ = false;   // guarded by mutex_
    std::thread thread_;    // session thread only
};
