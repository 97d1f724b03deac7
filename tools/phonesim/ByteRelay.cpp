#include "ByteRelay.h"

#include <boost/asio/write.hpp>

namespace asio = boost::asio;

ByteRelay::ByteRelay(asio::local::stream_protocol::socket client, asio::ip::tcp::socket phone,
                     std::function<void(const std::shared_ptr<ByteRelay>&)> onClosed)
    : client_(std::move(client)), phone_(std::move(phone)), onClosed_(std::move(onClosed)) {}

void ByteRelay::begin() {
    boost::system::error_code ignored;
    phone_.set_option(asio::ip::tcp::no_delay(true), ignored);
    pump(client_, phone_, toPhone_);
    pump(phone_, client_, toClient_);
}

template <typename From, typename To, typename Buffer>
void ByteRelay::pump(From& from, To& to, Buffer& buffer) {
    auto self = shared_from_this();
    from.async_read_some(asio::buffer(buffer), [self, &from, &to, &buffer](
                                                   const boost::system::error_code& error,
                                                   std::size_t count) {
        if (error) {
            self->finish();
            return;
        }
        asio::async_write(to, asio::buffer(buffer.data(), count),
                          [self, &from, &to, &buffer](const boost::system::error_code& writeError,
                                                      std::size_t) {
                              if (writeError) {
                                  self->finish();
                                  return;
                              }
                              self->pump(from, to, buffer);
                          });
    });
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
