#include "clip/format/ParseClipFile.h"

#include "clip/format/ClipBlocks.h"

#include <cmath>
#include <exception>
#include <vector>

namespace {

// Reads names and frames, handing each complete frame with a finite time (time from the first
// such frame, flat values) to store; counts the frames left out in dropped. Frames start with
// start (the channel counts).
// Hands every stored frame, as stored, to onFrame(time, values), which says whether it kept the
// frame. True when the text ended after at least one kept frame; false for a broken text.
template <typename OnFrame>
bool forEachStoredFrame(ClipFileReader& reader, OnFrame onFrame) {
    bool anyFrame = false;
    double time = 0.0;
    std::vector<double> values;
    for (;;) {
        switch (reader.readFrame(time, values)) {
            case ClipFileReader::FrameRead::textEnded:
                return anyFrame;
            case ClipFileReader::FrameRead::broken:
                return false;
            case ClipFileReader::FrameRead::frame:
                if (onFrame(time, values)) anyFrame = true;
                break;
        }
    }
}

template <typename Start, typename Store>
bool readAllFrames(ClipFileReader& reader, ChannelNameLists& names, Start start, Store store,
                   std::size_t& dropped) {
    if (!reader.readNames(names)) return false;
    start();

    bool anyFrame = false;
    double baseTime = 0.0;
    return forEachStoredFrame(reader, [&](double time, const std::vector<double>& values) {
        // A time that is not finite places its frame nowhere on the time line, and playback
        // would stop at it: the frame is left out rather than the take.
        if (!std::isfinite(time) || (anyFrame && !std::isfinite(time - baseTime))) {
            ++dropped;
            return false;
        }
        if (!anyFrame) baseTime = time;
        anyFrame = true;
        store(time - baseTime, values.data());
        return true;
    });
}

bool readInto(ClipFileReader& reader, ChannelNameLists& names, ClipFrames& frames,
              std::size_t& dropped) {
    names.clear();
    frames.clear();
    return readAllFrames(
        reader, names,
        [&] {
            frames.reset(names.scalars().size(), names.vectors().size(), names.matrices().size());
        },
        [&](double time, const double* values) { frames.appendFlat(time, values); }, dropped);
}

// Runs read (which returns whether a clip with frames was read) and says why it failed.
template <typename Read>
ClipLoadResult classified(ClipFileReader& reader, Read read) {
    ClipLoadResult result;
    try {
        if (read(result.droppedFrames)) return result;
        result.failure = reader.failure() == ClipLoadFailure::none ? ClipLoadFailure::noFrames
                                                                   : reader.failure();
        result.detail = reader.failureDetail();
    } catch (const ClipTextCut&) {
        result.failure = reader.textStopped();
    } catch (const std::exception& error) {
        result.failure = ClipLoadFailure::damaged;
        result.detail = error.what();
    }
    return result;
}

}  // namespace

bool parseClipFile(ChannelNameLists& names, ClipFrames& frames, const std::string& path) {
    ClipFileReader reader(path);
    std::size_t dropped = 0;
    return readInto(reader, names, frames, dropped);
}

bool parseClipStream(ChannelNameLists& names, ClipFrames& frames, std::istream& in) {
    ClipFileReader reader(in);
    std::size_t dropped = 0;
    return readInto(reader, names, frames, dropped);
}

ClipLoadResult loadClipFile(ChannelNameLists& names, ClipFrames& frames, const std::string& path) {
    ClipFileReader reader(path);
    return classified(
        reader, [&](std::size_t& dropped) { return readInto(reader, names, frames, dropped); });
}

ClipLoadResult readClipFrames(
    ClipFileReader& reader, ChannelNameLists& names,
    const std::function<void(double, const std::vector<double>&)>& onFrame) {
    return classified(reader, [&](std::size_t&) {
        if (!reader.readNames(names)) return false;
        return forEachStoredFrame(reader, [&](double time, const std::vector<double>& values) {
            onFrame(time, values);
            return true;
        });
    });
}
