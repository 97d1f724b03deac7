#pragma once
// What became of each take saved in this process: the clip written by its writer thread and the
// video fetched by the session, so that a script can wait for a save and learn its outcome
// without reading the encrypted file. The main thread begins a save; writer and session threads
// finish its parts; any thread may ask.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct SaveOutcome {
    enum class Clip { writing, written, failed };
    // none: no video was asked for; waiting: asked, not complete yet; partial: cut short, the
    // bytes received are kept.
    enum class Video { none, waiting, received, partial, failed };

    std::string clipPath;
    std::string videoPath;  // empty when no video was asked for
    Clip clip = Clip::writing;
    std::size_t frames = 0;  // frames written
    double duration = 0.0;   // seconds from the first frame written to the last
    std::string clipReason;  // why the clip was not written
    Video video = Video::none;
    std::uint64_t videoBytes = 0;
    std::string videoReason;  // why the video is missing or partial

    // The clip and the video have both reached their end, whatever it is.
    bool finished() const { return clip != Clip::writing && video != Video::waiting; }
};

using SaveId = std::uint64_t;

// Main thread: a save to clipPath starts, with a video to videoPath when that is not empty.
SaveId beginSaveOutcome(const std::string& clipPath, const std::string& videoPath);

// The writer thread's end of save `id`. Only the first report of a save counts.
void reportClipSaved(SaveId id, std::size_t frames, double duration);
void reportClipNotSaved(SaveId id, const std::string& reason);

// The video's end, by the video path of the save that is waiting for it (the newest such).
void reportVideoSaved(const std::string& videoPath, std::uint64_t bytes);
void reportVideoPartial(const std::string& videoPath, std::uint64_t bytes,
                        const std::string& reason);
void reportVideoNotSaved(const std::string& videoPath, const std::string& reason);

// A file that a save still under way is yet to write: its clip, still being written, or its
// video, still awaited.
struct PendingSaveFile {
    std::string path;
    bool isClip;
};
// The clips first, then the videos.
std::vector<PendingSaveFile> filesSavesAreYetToWrite();
// Whether a save still waits for the video at videoPath.
bool isVideoAwaited(const std::string& videoPath);

// The newest save to clipPath in this process, if there was one.
std::optional<SaveOutcome> latestSaveOutcome(const std::string& clipPath);

const char* describeClipState(SaveOutcome::Clip state);    // "writing", "written", "failed"
const char* describeVideoState(SaveOutcome::Video state);  // "none", "waiting", ...
