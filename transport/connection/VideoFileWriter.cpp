#include "transport/connection/VideoFileWriter.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

VideoFileWriter::~VideoFileWriter() { finish(); }

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
    buffer_.resize(kBufferBytes);
    fill_ = 0;
    return true;
}

void VideoFileWriter::append(const std::uint8_t* data, std::size_t byteCount) {
    if (!file_.is_open()) return;
    if (fill_ + byteCount >= buffer_.size()) flush();
    if (byteCount >= buffer_.size()) {
        file_.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(byteCount));
        return;
    }
    std::memcpy(buffer_.data() + fill_, data, byteCount);
    fill_ += byteCount;
}

void VideoFileWriter::flush() {
    if (fill_ > 0) file_.write(reinterpret_cast<const char*>(buffer_.data()), static_cast<std::streamsize>(fill_));
    fill_ = 0;
}

bool VideoFileWriter::finish() {
    if (!file_.is_open()) return true;
    flush();
    file_.close();
    const bool written = !file_.fail();
    file_.clear();
    buffer_.clear();
    buffer_.shrink_to_fit();
    return written;
}
