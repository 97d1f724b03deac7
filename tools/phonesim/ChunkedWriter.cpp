#include "ChunkedWriter.h"

#include <algorithm>
#include <boost/asio/write.hpp>

namespace asio = boost::asio;

ChunkedWriter::ChunkedWriter(std::shared_ptr<asio::ip::tcp::socket> socket,
                             PhoneSimUsbChunking chunking, std::function<void()> onError)
    : socket_(std::move(socket)),
      chunking_(std::move(chunking)),
      onError_(std::move(onError)),
      pauseTimer_(socket_->get_executor()) {
    chunking_.sizes.erase(std::remove(chunking_.sizes.begin(), chunking_.sizes.end(), 0u),
                          chunking_.sizes.end());
}

void ChunkedWriter::append(const std::uint8_t* bytes, std::size_t count) {
    if (closed_) return;
    if (pendingStart_ == pending_.size()) {
        pending_.clear();
        pendingStart_ = 0;
    } else if (pendingStart_ > (1u << 20) && pendingStart_ * 2 > pending_.size()) {
        // A slow reader: drop the written front now and then rather than on every write.
        pending_.erase(pending_.begin(),
                       pending_.begin() + static_cast<std::ptrdiff_t>(pendingStart_));
        pendingStart_ = 0;
    }
    pending_.insert(pending_.end(), bytes, bytes + count);
    if (!busy_) writeNext();
}

void ChunkedWriter::close() {
    closed_ = true;
    pauseTimer_.cancel();
}

std::size_t ChunkedWriter::nextWriteSize() {
    if (untilCut_ == 0) {
        const auto& sizes = chunking_.sizes;
        if (!sizes.empty() && (chunking_.repeat || sizeIndex_ < sizes.size())) {
            untilCut_ = sizes[sizeIndex_ % sizes.size()];
            ++sizeIndex_;
        }
    }
    const std::size_t available = pending_.size() - pendingStart_;
    if (untilCut_ == 0) return available;  // no rule left: whatever is pending
    return std::min(untilCut_, available);
}

void ChunkedWriter::writeNext() {
    if (closed_ || pendingStart_ == pending_.size()) {
        busy_ = false;
        return;
    }
    busy_ = true;
    const std::size_t count = nextWriteSize();
    const auto first = pending_.begin() + static_cast<std::ptrdiff_t>(pendingStart_);
    writing_.assign(first, first + static_cast<std::ptrdiff_t>(count));
    pendingStart_ += count;
    if (untilCut_ > 0) untilCut_ -= count;
    auto self = shared_from_this();
    asio::async_write(*socket_, asio::buffer(writing_),
                      [self](const boost::system::error_code& error, std::size_t) {
                          if (error) {
                              self->busy_ = false;
                              if (!self->closed_) self->onError_();
                              return;
                          }
                          const bool more = self->pendingStart_ < self->pending_.size();
                          if (self->chunking_.pause.count() > 0 && more) {
                              self->pauseTimer_.expires_after(self->chunking_.pause);
                              self->pauseTimer_.async_wait(
                                  [self](const boost::system::error_code&) { self->writeNext(); });
                              return;
                          }
                          self->writeNext();
                      });
}
