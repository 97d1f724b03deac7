#include "transport/connection/UsbVideoFetcher.h"

#include <array>
#include <utility>

#include "transport/connection/UsbTunnel.h"
#include "transport/connection/VideoFileWriter.h"
#include "transport/outcomes/SaveOutcomes.h"
#include "transport/protocol/TransportMessages.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr std::size_t kChunkBytes = 4096;
}  // namespace

UsbVideoFetcher::UsbVideoFetcher(std::chrono::milliseconds poll, std::chrono::milliseconds silence)
    : poll_(poll), silence_(silence) {}

UsbVideoFetcher::~UsbVideoFetcher() {
    finish();
}

void UsbVideoFetcher::fetch(std::uint32_t deviceHandle, int port, std::string path) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back(Job{deviceHandle, port, std::move(path)});
    }
    changed_.notify_all();
    if (!thread_.joinable()) thread_ = std::thread(&UsbVideoFetcher::run, this);
}

void UsbVideoFetcher::finish() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Job& job : jobs_) reportVideoNotReceived(job.path);
    jobs_.clear();
}

bool UsbVideoFetcher::isEnding() {
    std::lock_guard<std::mutex> lock(mutex_);
    return ending_;
}

void UsbVideoFetcher::run() {
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] { return ending_ || !jobs_.empty(); });
            if (ending_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        download(job);
    }
}

void UsbVideoFetcher::download(const Job& job) {
    UsbTunnel video = UsbTunnel::connect(job.deviceHandle, static_cast<unsigned short>(job.port));
    if (!video.isOpen()) {
        reportVideoUnreachable(job.path, job.port, "the phone refused the USB connection");
        return;
    }
    VideoFileWriter file;
    if (!file.open(job.path)) {
        reportVideoFileUnwritable(job.path, file.openError());
        return;
    }
    std::array<std::uint8_t, kChunkBytes> chunk;
    std::size_t total = 0;
    auto lastHeard = Clock::now();
    bool ended = false;  // by the phone, or by the stall check
    while (!ended && !isEnding()) {
        std::size_t received = 0;
        const auto status = video.receive(chunk.data(), chunk.size(), poll_, received);
        if (status == UsbTunnel::ReceiveStatus::closed) {
            ended = true;  // complete
        } else if (status == UsbTunnel::ReceiveStatus::data) {
            file.append(chunk.data(), received);
            total += received;
            lastHeard = Clock::now();
        } else if (Clock::now() - lastHeard >= silence_) {
            const std::string text = "The video transfer for " + job.path + " stalled; kept the " +
                                     std::to_string(total) + " bytes received.";
            reportVideoPartial(job.path, total, text);
            reportTransportMessage(text);
            ended = true;
        }
    }
    if (!ended) reportVideoCutShort(job.path, total);
    if (!file.finish()) {
        reportVideoFileUnwritable(job.path, "writing it failed");
    } else {
        reportVideoSaved(job.path, total);  // counts only while the save still waits for it
    }
}
