#include "transport/connection/VideoFileWriter.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

VideoFileWriter::~VideoFileWriter() {
    finish();
}

bool VideoFileWriter::open(const std::string& path) {
    finish();
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        openError_ = "it is a folder";
        return false;
    }
    errno = 0;
    file_.open(path, std::ios::binary | std::ios::out | std::ios::trunc);
    if (!file_.is_open()) {
        openError_ = errno != 0 ? std::generic_category().message(errno) : "it cannot be created";
        return false;
    }
    openError_.clear();
    buffer_.reset(new std::uint8_t[kBufferBytes]);
    fill_ = 0;
    return true;
}

void VideoFileWriter::append(const std::uint8_t* data, std::size_t byteCount) {
    if (!file_.is_open()) return;
    if (fill_ + byteCount >= kBufferBytes) flush();
    if (byteCount >= kBufferBytes) {
        file_.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(byteCount));
        return;
    }
    std::memcpy(buffer_.get() + fill_, data, byteCount);
    fill_ += byteCount;
}

void VideoFileWriter::flush() {
    if (fill_ > 0)
        file_.write(reinterpret_cast<const char*>(buffer_.get()),
                    static_cast<std::streamsize>(fill_));
    fill_ = 0;
}

bool VideoFileWriter::finish() {
    if (!file_.is_open()) return true;
    flush();
    file_.close();
    const bool written = !file_.fail();
    file_.clear();
    buffer_.reset();
    return written;
}
