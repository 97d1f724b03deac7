#pragma once
// Writes one clip file: the channel names, then frames one by one, then the end marker. The text
// goes out in 8192-byte records as it grows, so memory stays small for any number of frames.

#include "clip/format/ClipBlocks.h"
#include "transport/cipher/AesCbcCipher.h"
#include "transport/records/CaptureRecords.h"

#include <cstddef>
#include <ostream>
#include <string>

// Throws ClipWriteError naming the first channel name that a clip file cannot carry: one holding
// "^", "@" or NUL, one beginning with "#", or one of 8192 bytes or more.
void checkClipNames(const ChannelNameLists& names);

class ClipWriter {
  public:
    // Checks every name before anything is written (ClipWriteError), then writes the header.
    ClipWriter(std::ostream& out, const ChannelNameLists& names);
    ClipWriter(const ClipWriter&) = delete;
    ClipWriter& operator=(const ClipWriter&) = delete;

    // A frame's time in seconds and its values in the flat frame layout.
    void writeFrame(double time, const double* values, std::size_t count);
    void writeFrame(const CaptureFrame& frame) {
        writeFrame(frame.timestamp, frame.values.get(), frame.valueCount);
    }

    // Writes the end marker and the rest of the text. Throws ClipWriteError when the stream
    // reports a failure at any point of the writing.
    void finish();

  private:
    void append(const char* text, std::size_t length);
    void appendNumber(double value);

    std::ostream& out_;
    AesCbcCipher cipher_;
    std::string pending_;
    bool finished_ = false;
};
