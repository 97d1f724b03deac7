#pragma once
// Loads a whole clip file into the clip reader's form.

#include "clip/format/ClipFileReader.h"
#include "clip/format/ClipFrames.h"
#include "clip/format/ClipLoadFailure.h"
#include "transport/records/CaptureRecords.h"

#include <functional>
#include <istream>
#include <string>
#include <vector>

// Empties names and frames, then reads the file at path: names, and frames with times shifted so
// that the first frame is at 0 and matrix channels turned into their six outputs. A frame whose
// time is not a finite number is left out (the first finite time is the base); values are kept
// as they are.
// Returns false on a format failure: a missing, empty or cut file, a text without its end marker
// "@", a header without its third section end or with more than kMaxClipChannels channels,
// no frame at all, a frame cut short or one whose end token is not exactly "*".
// Throws std::invalid_argument for a time or value that is not a number and std::out_of_range for
// one out of the range of a double or a text that ends inside a token (ClipTextCut).
// After a failure, names holds what was read and frames the frames read completely.
bool parseClipFile(ChannelNameLists& names, ClipFrames& frames, const std::string& path);

// The same for a clip held by a binary stream.
bool parseClipStream(ChannelNameLists& names, ClipFrames& frames, std::istream& in);

// As parseClipFile, but never throws: the result says why a file did not load, and how many
// frames were left out for their time.
ClipLoadResult loadClipFile(ChannelNameLists& names, ClipFrames& frames, const std::string& path);

// Reads a clip frame by frame as it is stored (times not shifted, no frame left out), handing
// each frame's time and flat values to onFrame. For tools that show a clip as it is.
ClipLoadResult readClipFrames(
    ClipFileReader& reader, ChannelNameLists& names,
    const std::function<void(double, const std::vector<double>&)>& onFrame);
