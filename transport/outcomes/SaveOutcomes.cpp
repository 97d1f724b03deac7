#include "transport/outcomes/SaveOutcomes.h"

#include <deque>
#include <mutex>
#include <utility>

#include "transport/messages/KindTexts.h"

namespace {

// Enough for a long day of takes; the oldest outcomes are forgotten first.
constexpr std::size_t kKeptOutcomes = 4096;

struct Entry {
    SaveId id;
    SaveOutcome outcome;
};

// Written by the main, writer and session threads: every access holds the mutex.
struct Outcomes {
    std::mutex mutex;
    std::deque<Entry> entries;  // oldest first
    SaveId lastId = 0;
};

Outcomes& outcomes() {
    // Never destroyed: a detached writer thread may report while the process exits.
    static auto* instance = new Outcomes;
    return *instance;
}

SaveOutcome* findById(Outcomes& all, SaveId id) {
    for (auto& entry : all.entries)
        if (entry.id == id) return &entry.outcome;
    return nullptr;
}

SaveOutcome* findWaitingVideo(Outcomes& all, const std::string& videoPath) {
    for (auto it = all.entries.rbegin(); it != all.entries.rend(); ++it)
        if (it->outcome.video == SaveOutcome::Video::waiting && it->outcome.videoPath == videoPath)
            return &it->outcome;
    return nullptr;
}

void finishClip(SaveId id, SaveOutcome::Clip state, std::size_t frames, double duration,
                const std::string& reason) {
    auto& all = outcomes();
    std::lock_guard<std::mutex> lock(all.mutex);
    SaveOutcome* outcome = findById(all, id);
    if (!outcome || outcome->clip != SaveOutcome::Clip::writing) return;
    outcome->clip = state;
    outcome->frames = frames;
    outcome->duration = duration;
    outcome->clipReason = reason;
}

void finishVideo(const std::string& videoPath, SaveOutcome::Video state, std::uint64_t bytes,
                 const std::string& reason) {
    auto& all = outcomes();
    std::lock_guard<std::mutex> lock(all.mutex);
    SaveOutcome* outcome = findWaitingVideo(all, videoPath);
    if (!outcome) return;  // a video asked for outside a save
    outcome->video = state;
    outcome->videoBytes = bytes;
    outcome->videoReason = reason;
}

}  // namespace

SaveId beginSaveOutcome(const std::string& clipPath, const std::string& videoPath) {
    auto& all = outcomes();
    std::lock_guard<std::mutex> lock(all.mutex);
    Entry entry{++all.lastId, SaveOutcome{}};
    entry.outcome.clipPath = clipPath;
    entry.outcome.videoPath = videoPath;
    entry.outcome.video =
        videoPath.empty() ? SaveOutcome::Video::none : SaveOutcome::Video::waiting;
    all.entries.push_back(std::move(entry));
    if (all.entries.size() > kKeptOutcomes) all.entries.pop_front();
    return all.lastId;
}

void reportClipSaved(SaveId id, std::size_t frames, double duration) {
    finishClip(id, SaveOutcome::Clip::written, frames, duration, std::string());
}

void reportClipNotSaved(SaveId id, const std::string& reason) {
    finishClip(id, SaveOutcome::Clip::failed, 0, 0.0, reason);
}

void reportVideoSaved(const std::string& videoPath, std::uint64_t bytes) {
    finishVideo(videoPath, SaveOutcome::Video::received, bytes, std::string());
}

void reportVideoPartial(const std::string& videoPath, std::uint64_t bytes,
                        const std::string& reason) {
    finishVideo(videoPath, SaveOutcome::Video::partial, bytes, reason);
}

void reportVideoNotSaved(const std::string& videoPath, const std::string& reason) {
    finishVideo(videoPath, SaveOutcome::Video::failed, 0, reason);
}

std::vector<PendingSaveFile> filesSavesAreYetToWrite() {
    auto& all = outcomes();
    std::lock_guard<std::mutex> lock(all.mutex);
    std::vector<PendingSaveFile> files;
    for (const auto& entry : all.entries)
        if (entry.outcome.clip == SaveOutcome::Clip::writing)
            files.push_back({entry.outcome.clipPath, true});
    for (const auto& entry : all.entries)
        if (entry.outcome.video == SaveOutcome::Video::waiting)
            files.push_back({entry.outcome.videoPath, false});
    return files;
}

bool isVideoAwaited(const std::string& videoPath) {
    auto& all = outcomes();
    std::lock_guard<std::mutex> lock(all.mutex);
    return findWaitingVideo(all, videoPath) != nullptr;
}

std::optional<SaveOutcome> latestSaveOutcome(const std::string& clipPath) {
    auto& all = outcomes();
    std::lock_guard<std::mutex> lock(all.mutex);
    for (auto it = all.entries.rbegin(); it != all.entries.rend(); ++it)
        if (it->outcome.clipPath == clipPath) return it->outcome;
    return std::nullopt;
}

const char* describeClipState(SaveOutcome::Clip state) {
    static constexpr const char* kStates[] = {"writing", "written", "failed"};
    return kindText(state, kStates, "failed");
}

const char* describeVideoState(SaveOutcome::Video state) {
    static constexpr const char* kStates[] = {"none", "waiting", "received", "partial", "failed"};
    return kindText(state, kStates, "failed");
}
