#include "clip/nodes/ClipWriterThreads.h"

#include "clip/nodes/SaveToFile.h"

#include <openssl/crypto.h>

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace {

// Writer threads finish on their own while the main thread may wait for them: the count and its
// signal are shared between them.
struct RunningWriters {
    std::mutex mutex;
    std::condition_variable finished;
    std::size_t count = 0;  // guarded by mutex
    // Destroyed at exit after detached writers signalled: taking the mutex orders it after them.
    ~RunningWriters() { std::lock_guard<std::mutex> lock(mutex); }
};

RunningWriters& runningWriters() {
    static RunningWriters writers;
    return writers;
}

// Counts one writer for its whole life, including when saveToFile throws.
class RunningWriterCount {
  public:
    RunningWriterCount() {
        std::lock_guard<std::mutex> lock(runningWriters().mutex);
        ++runningWriters().count;
    }
    ~RunningWriterCount() {
        auto& writers = runningWriters();
        std::lock_guard<std::mutex> lock(writers.mutex);
        --writers.count;
        writers.finished.notify_all();
    }
    RunningWriterCount(const RunningWriterCount&) = delete;
    RunningWriterCount& operator=(const RunningWriterCount&) = delete;
};

void runWriter(SaveToFileArguments arguments, std::unique_ptr<RunningWriterCount> count) {
    try {
        saveToFile(arguments);
    } catch (...) {
        // Nothing may escape a detached thread; saveToFile reports its own failures. Anything
        // else (memory) still ends the save's outcome, so that nobody waits for it forever.
        reportClipNotSaved(arguments.outcome, "Cannot write clip file " + arguments.clipPath +
                                                  ": the writer stopped unexpectedly");
    }
    // Release the recording and this thread's OpenSSL state (its random generators) before the
    // count, so that a waiter sees all memory returned: once Maya quits, a detached thread may not
    // get as far as its thread-exit handlers.
    arguments = SaveToFileArguments();
    OPENSSL_thread_stop();
    count.reset();
}

}  // namespace

bool startClipWriter(SaveToFileArguments arguments) {
    // Counted before the thread exists, so that a wait right after this call includes it.
    auto count = std::make_unique<RunningWriterCount>();
    try {
        // std::thread moves the arguments into the new thread's own storage before it returns.
        std::thread(runWriter, std::move(arguments), std::move(count)).detach();
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void waitForClipWriters() {
    auto& writers = runningWriters();
    std::unique_lock<std::mutex> lock(writers.mutex);
    writers.finished.wait(lock, [&writers] { return writers.count == 0; });
}
