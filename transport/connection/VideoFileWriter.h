#pragma once
// Writes a downloaded video to its file in large pieces: received bytes are gathered in a 20 MiB
// buffer that goes to the file whenever the next piece would fill it, and at the end. The bytes go
// to a temporary file beside the video's path, renamed into place when the download ends, so that
// a download that fails before anything arrives keeps the file that was there. Whatever was
// received is written and put in place at the latest when the writer goes away.

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

class VideoFileWriter {
  public:
    static constexpr std::size_t kBufferBytes = 20971520;

    VideoFileWriter() = default;
    ~VideoFileWriter();
    VideoFileWriter(const VideoFileWriter&) = delete;
    VideoFileWriter& operator=(const VideoFileWriter&) = delete;

    // Opens a temporary file for the video of path. False when it cannot be opened.
    bool open(const std::string& path);
    // Why the last open failed, in words.
    const std::string& openError() const { return openError_; }
    bool isOpen() const { return file_.is_open(); }
    void append(const std::uint8_t* data, std::size_t byteCount);
    // Writes what is buffered, closes the file and puts it in place at the path. False when
    // writing, closing or the rename failed.
    bool finish();
    // Closes and removes the temporary file: the file at the path stays as it was.
    void discard();

  private:
    void flush();

    std::ofstream file_;
    std::string path_;
    std::string temporaryPath_;
    // Left uninitialised: zeroing 20 MiB per video would hold up the session that downloads it
    // (over Wi-Fi its frames and commands) for milliseconds. Pages are touched as bytes arrive.
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t fill_ = 0;
    std::string openError_;
};
