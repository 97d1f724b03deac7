#pragma once
// Reads a clip file as it is stored: the channel names, then each frame's time (as written, not
// shifted) and its flat values. parseClipFile and the clip tool build on it.

#include "AesCbcCipher.h"
#include "CaptureRecords.h"
#include "ClipBlocks.h"

#include <cstddef>
#include <fstream>
#include <istream>
#include <string>
#include <vector>

class ClipFileReader {
public:
    enum class FrameRead { kFrame, kTextEnded, kBroken };

    // A file that cannot be opened reads as an empty one.
    explicit ClipFileReader(const std::string& path);
    // Reads a clip held by a binary stream, which must outlive the reader.
    explicit ClipFileReader(std::istream& in);
    ClipFileReader(const ClipFileReader&) = delete;
    ClipFileReader& operator=(const ClipFileReader&) = delete;

    // Appends the three name lists to names. False when the text ends before the third section
    // end (any token beginning with "#" ends a section).
    bool readNames(ChannelNameLists& names);

    // Reads the next frame: its time and exactly S + 3V + 16M values for the names read.
    // kTextEnded when no token is left, kBroken when the frame is cut short or its end token is not
    // exactly "*". Conversion failures throw std::invalid_argument or std::out_of_range; a text
    // ending inside a token throws std::out_of_range.
    FrameRead readFrame(double& time, std::vector<double>& values);

private:
    bool nextToken(std::string_view& token) { return nextClipToken(in_, pending_, token, cipher_); }

    std::ifstream file_;  // unused when reading a caller's stream
    std::istream& in_;
    AesCbcCipher cipher_;
    ClipPendingText pending_;
    std::size_t scalarCount_ = 0;
    std::size_t vectorEnd_ = 0;  // flat index after the last vector value
    std::size_t valueCount_ = 0;
};
