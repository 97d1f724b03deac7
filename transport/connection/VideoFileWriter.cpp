#include "transport/connection/VideoFileWriter.h"

#include "clip/folders/TemporaryPath.h"

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
    path_ = path;
    temporaryPath_ = temporaryPathBeside(path);
    errno = 0;
    file_.open(temporaryPath_, std::ios::binary | std::ios::out | std::ios::trunc);
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
    bool written = !file_.fail();
    file_.clear();
    buffer_.reset();
    std::error_code error;
    if (written) std::filesystem::rename(temporaryPath_, path_, error);
    if (!written || error) {
        std::filesystem::remove(temporaryPath_, error);
        written = false;
    }
    return written;
}

void VideoFileWriter::discard() {
    if (!file_.is_open()) return;
    file_.close();
    file_.clear();
    buffer_.reset();
    fill_ = 0;
    std::error_code ignored;
    std::filesystem::remove(temporaryPath_, ignored);
}
