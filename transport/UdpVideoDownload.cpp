#include "UdpVideoDownload.h"

#include <boost/asio/buffer.hpp>

#include "TransportMessages.h"

UdpVideoDownload::UdpVideoDownload(boost::asio::io_context& loop) : socket_(loop) {}

bool UdpVideoDownload::begin(const boost::asio::ip::tcp::endpoint& phone, const std::string& path) {
    if (!file_.open(path)) {
        finished_ = true;
        return false;
    }
    path_ = path;
    // Asynchronous, so that a phone that never accepts does not hold up the messages.
    socket_.async_connect(phone, [self = shared_from_this()](const boost::system::error_code& error) {
        if (self->finished_) return;
        if (error) {
            self->finish();  // silent: the file stays empty
            return;
        }
        self->receiveNext();
    });
    return true;
}

void UdpVideoDownload::receiveNext() {
    socket_.async_read_some(
        boost::asio::buffer(chunk_),
        [self = shared_from_this()](const boost::system::error_code& error, std::size_t received) {
            if (self->finished_) return;
            self->file_.append(self->chunk_.data(), received);
            self->received_ += received;
            if (error) {
                self->finish();  // the phone closed the connection: the download is complete
                return;
            }
            self->receiveNext();
        });
}

void UdpVideoDownload::finish() {
    if (finished_ && !file_.isOpen()) return;
    finished_ = true;
    boost::system::error_code ignored;
    socket_.close(ignored);
    file_.finish();
}

void UdpVideoDownload::cutShort() {
    if (finished_) return;
    finish();
    reportVideoCutShort(path_, received_);
}
