#pragma once
// Reads a clip file as it is stored: the channel names, then each frame's time (as written, not
// shifted) and its flat values. parseClipFile and the clip tool build on it.

#include "clip/format/ClipBlocks.h"
#include "clip/format/ClipLoadFailure.h"
#include "transport/cipher/AesCbcCipher.h"
#include "transport/records/CaptureRecords.h"

#include <cstddef>
#include <fstream>
#include <istream>
#include <string>
#include <vector>

class ClipFileReader {
  public:
    enum class FrameRead { frame, textEnded, broken };

    // A file that cannot be opened, or a folder, reads as an empty one and fails as cannotOpen.
    explicit ClipFileReader(const std::string& path);
    // Reads a clip held by a binary stream, which must outlive the reader.
    explicit ClipFileReader(std::istream& in);
    ClipFileReader(const ClipFileReader&) = delete;
    ClipFileReader& operator=(const ClipFileReader&) = delete;

    // Appends the three name lists to names. False when the text ends before the third section
    // end (any token beginning with "#" ends a section), or when it names more than
    // kMaxClipChannels channels.
    bool readNames(ChannelNameLists& names);

    // Reads the next frame: its time and exactly S + 3V + 16M values for the names read.
    // kTextEnded when the text has ended with its end marker "@" after a whole frame; kBroken when
    // the frame is cut short, its end token is not exactly "*", or the text stops without the end
    // marker. Conversion failures throw std::invalid_argument or std::out_of_range; a text
    // ending inside a token throws ClipTextCut.
    FrameRead readFrame(double& time, std::vector<double>& values);

    // Why the last readNames or readFrame gave up (none when it did not), with what was found.
    ClipLoadFailure failure() const { return failure_; }
    const std::string& failureDetail() const { return failureDetail_; }
    // Why a text that stops where it must go on fails: cut short, unless the end marker or bytes
    // that no clip text holds were read, which make it damaged (or under another key).
    ClipLoadFailure textStopped() const;

  private:
    bool nextToken(std::string_view& token) { return nextClipToken(in_, pending_, token, cipher_); }
    void fail(ClipLoadFailure failure, std::string detail = {});

    std::ifstream file_;  // unused when reading a caller's stream
    std::istream& in_;
    AesCbcCipher cipher_;
    ClipPendingText pending_;
    std::size_t scalarCount_ = 0;
    std::size_t vectorEnd_ = 0;  // flat index after the last vector value
    std::size_t valueCount_ = 0;
    std::string openError_;  // why the file cannot be read; empty when it can
    ClipLoadFailure failure_ = ClipLoadFailure::none;
    std::string failureDetail_;
};
