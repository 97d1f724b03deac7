#pragma once
// Loads a whole clip file into the clip reader's form.

#include "CaptureRecords.h"
#include "ClipFrames.h"

#include <istream>
#include <string>
#include <vector>

// Empties names and frames, then reads the file at path: names, and frames with times shifted so
// that the first frame is at 0 and matrix channels turned into their six outputs.
// Returns false on a format failure: a missing, empty or cut file, a header without its third
// section end, no frame at all, a frame cut short or one whose end token is not exactly "*".
// Throws std::invalid_argument for a time or value that is not a number and std::out_of_range for
// one out of the range of a double or a text that ends inside a token.
// After a failure, names holds what was read and frames the frames read completely.
bool parseClipFile(ChannelNameLists& names, ClipFrames& frames, const std::string& path);

// The same for a clip held by a binary stream.
bool parseClipStream(ChannelNameLists& names, ClipFrames& frames, std::istream& in);

// The same with the frames as records (ClipFrames keeps them more compactly).
bool parseClipFile(ChannelNameLists& names, std::vector<ClipFrame>& frames, const std::string& path);
