#include "ByteRelay.h"

#include <boost/asio/write.hpp>

namespace asio = boost::asio;

ByteRelay::ByteRelay(asio::local::stream_protocol::socket client, asio::ip::tcp::socket phone,
                     std::function<void(const std::shared_ptr<ByteRelay>&)> onClosed)
    : client_(std::move(client)), phone_(std::move(phone)), onClosed_(std::move(onClosed)) {}

void ByteRelay::begin() {
    boost::system::error_code ignored;
    phone_.set_option(asio::ip::tcp::no_delay(true), ignored);
    pump(client_, phone_, toPhone_, toPhoneEnded_);
    pump(phone_, client_, toClient_, toClientEnded_);
}

template <typename From, typename To, typename Buffer>
void ByteRelay::pump(From& from, To& to, Buffer& buffer, bool& ended) {
    auto self = shared_from_this();
    from.async_read_some(
        asio::buffer(buffer), [self, &from, &to, &buffer, &ended](
                                  const boost::system::error_code& error, std::size_t count) {
            if (self->finished_) return;
            if (error) {
                boost::system::error_code ignored;
                to.shutdown(asio::socket_base::shutdown_send, ignored);  // after every byte written
                self->endDirection(ended);
                return;
            }
            asio::async_write(to, asio::buffer(buffer.data(), count),
                              [self, &from, &to, &buffer, &ended](
                                  const boost::system::error_code& writeError, std::size_t) {
                                  if (self->finished_) return;
                                  if (writeError) {
                                      self->drain(from, buffer, ended);
                                      return;
                                  }
                                  self->pump(from, to, buffer, ended);
                              });
        });
}

template <typename From, typename Buffer>
void ByteRelay::drain(From& from, Buffer& buffer, bool& ended) {
    auto self = shared_from_this();
    from.async_read_some(
        asio::buffer(buffer),
        [self, &from, &buffer, &ended](const boost::system::error_code& error, std::size_t) {
            if (self->finished_) return;
            if (error) {
                self->endDirection(ended);
                return;
            }
            self->drain(from, buffer, ended);
        });
}

void ByteRelay::endDirection(bool& ended) {
    ended = true;
    if (toPhoneEnded_ && toClientEnded_) finish();
}

void ByteRelay::close() {
    boost::system::error_code ignored;
    client_.shutdown(asio::socket_base::shutdown_both, ignored);
    client_.close(ignored);
    phone_.shutdown(asio::socket_base::shutdown_both, ignored);
    phone_.close(ignored);
}

void ByteRelay::finish() {
    if (finished_) return;
    finished_ = true;
    close();
    if (onClosed_) onClosed_(shared_from_this());
}
