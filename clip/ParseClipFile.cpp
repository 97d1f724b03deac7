#include "ParseClipFile.h"

#include "ClipFileReader.h"

#include <vector>

namespace {

// Reads names and frames, handing each complete frame (time from the first frame, flat values)
// to store. Frames start with start (the channel counts).
template <typename Start, typename Store>
bool readAllFrames(ClipFileReader& reader, ChannelNameLists& names, Start start, Store store) {
    if (!reader.readNames(names)) return false;
    start();

    bool anyFrame = false;
    double baseTime = 0.0;
    double time = 0.0;
    std::vector<double> values;
    for (;;) {
        switch (reader.readFrame(time, values)) {
        case ClipFileReader::FrameRead::kTextEnded:
            return anyFrame;
        case ClipFileReader::FrameRead::kBroken:
            return false;
        case ClipFileReader::FrameRead::kFrame:
            if (!anyFrame) baseTime = time;
            anyFrame = true;
            store(time - baseTime, values.data());
            break;
        }
    }
}

bool readInto(ClipFileReader& reader, ChannelNameLists& names, ClipFrames& frames) {
    names.clear();
    frames.clear();
    return readAllFrames(
        reader, names, [&] { frames.reset(names.scalars().size(), names.vectors().size(), names.matrices().size()); },
        [&](double time, const double* values) { frames.appendFlat(time, values); });
}

// Records are made through a one-frame ClipFrames, so both forms apply the same output rules.
bool readInto(ClipFileReader& reader, ChannelNameLists& names, std::vector<ClipFrame>& frames) {
    names.clear();
    frames.clear();
    ClipFrames one;
    return readAllFrames(
        reader, names, [] {},
        [&](double time, const double* values) {
            one.reset(names.scalars().size(), names.vectors().size(), names.matrices().size());
            one.appendFlat(time, values);
            frames.push_back(one.frame(0));
        });
}

}  // namespace

bool parseClipFile(ChannelNameLists& names, ClipFrames& frames, const std::string& path) {
    ClipFileReader reader(path);
    return readInto(reader, names, frames);
}

bool parseClipStream(ChannelNameLists& names, ClipFrames& frames, std::istream& in) {
    ClipFileReader reader(in);
    return readInto(reader, names, frames);
}

bool parseClipFile(ChannelNameLists& names, std::vector<ClipFrame>& frames, const std::string& path) {
    ClipFileReader reader(path);
    return readInto(reader, names, frames);
}
