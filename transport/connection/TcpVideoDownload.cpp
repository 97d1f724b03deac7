#include "transport/connection/TcpVideoDownload.h"

#include <boost/asio/buffer.hpp>
#include <boost/asio/error.hpp>

#include "transport/outcomes/SaveOutcomes.h"
#include "transport/protocol/TransportMessages.h"

TcpVideoDownload::TcpVideoDownload(boost::asio::io_context& loop) : socket_(loop) {}

bool TcpVideoDownload::begin(const boost::asio::ip::tcp::endpoint& phone, const std::string& path) {
    if (!file_.open(path)) {
        finished_ = true;
        reportVideoFileUnwritable(path, file_.openError());
        return false;
    }
    path_ = path;
    // Asynchronous, so that a phone that never accepts does not hold up the messages.
    socket_.async_connect(phone, [self = shared_from_this(),
                                  port = phone.port()](const boost::system::error_code& error) {
        if (self->finished_) return;
        if (error) {
            // Nothing came: an empty file would pass for a video, and a video saved there
            // before stays.
            self->finished_ = true;
            boost::system::error_code ignored;
            self->socket_.close(ignored);
            self->file_.discard();
            reportVideoUnreachable(self->path_, port, error.message());
            return;
        }
        self->receiveNext();
    });
    return true;
}

void TcpVideoDownload::receiveNext() {
    socket_.async_read_some(
        boost::asio::buffer(chunk_),
        [self = shared_from_this()](const boost::system::error_code& error, std::size_t received) {
            if (self->finished_) return;
            self->file_.append(self->chunk_.data(), received);
            self->received_ += received;
            if (error == boost::asio::error::eof) {
                // The phone closed the connection: the download is complete.
                if (self->finish()) {
                    reportVideoSaved(self->path_, self->received_);
                } else {
                    reportVideoFileUnwritable(self->path_, "writing it failed");
                }
                return;
            }
            if (error) {
                self->finish();
                reportVideoBroken(self->path_, self->received_, error.message());
                return;
            }
            self->receiveNext();
        });
}

bool TcpVideoDownload::finish() {
    if (finished_ && !file_.isOpen()) return true;
    finished_ = true;
    boost::system::error_code ignored;
    socket_.close(ignored);
    return file_.finish();
}

void TcpVideoDownload::cutShort() {
    if (finished_) return;
    finish();
    reportVideoCutShort(path_, received_);
}
