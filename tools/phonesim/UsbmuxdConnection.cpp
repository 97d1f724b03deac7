#include "UsbmuxdConnection.h"

#include <arpa/inet.h>
#include <boost/asio/connect.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>

#include "ByteRelay.h"
#include "UsbmuxdStandIn.h"

namespace asio = boost::asio;
using asio::ip::tcp;

namespace {

constexpr std::uint32_t kHeaderSize = 16;
constexpr std::uint32_t kMaxBody = 1u << 20;
constexpr std::uint32_t kPlistVersion = 1;
constexpr std::uint32_t kPlistMessage = 8;

// Result numbers of the service.
constexpr std::uint64_t kResultOk = 0;
constexpr std::uint64_t kResultBadCommand = 1;
constexpr std::uint64_t kResultBadDevice = 2;
constexpr std::uint64_t kResultConnectionRefused = 3;

std::uint32_t readLittleEndian(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void writeLittleEndian(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

PlistPtr deviceProperties(const PhoneSimUsbDevice& device) {
    PlistPtr properties(plist_new_dict());
    plist_dict_set_item(properties.get(), "ConnectionType", plist_new_string("USB"));
    plist_dict_set_item(properties.get(), "DeviceID", plist_new_uint(device.deviceId));
    plist_dict_set_item(properties.get(), "LocationID", plist_new_uint(0));
    plist_dict_set_item(properties.get(), "ProductID", plist_new_uint(device.productId));
    plist_dict_set_item(properties.get(), "SerialNumber", plist_new_string(device.serial.c_str()));
    return properties;
}

PlistPtr attachedMessage(const PhoneSimUsbDevice& device) {
    PlistPtr message(plist_new_dict());
    plist_dict_set_item(message.get(), "DeviceID", plist_new_uint(device.deviceId));
    plist_dict_set_item(message.get(), "MessageType", plist_new_string("Attached"));
    plist_dict_set_item(message.get(), "Properties", deviceProperties(device).release());
    return message;
}

}  // namespace

UsbmuxdConnection::UsbmuxdConnection(asio::local::stream_protocol::socket socket,
                                     UsbmuxdStandIn& owner)
    : socket_(std::move(socket)), owner_(owner) {}

void UsbmuxdConnection::begin() {
    readHeader();
}

void UsbmuxdConnection::close() {
    boost::system::error_code ignored;
    socket_.close(ignored);
}

void UsbmuxdConnection::end() {
    if (ended_) return;
    ended_ = true;
    close();
    owner_.forget(shared_from_this());
}

void UsbmuxdConnection::readExactly(asio::mutable_buffer buffer, std::function<void()> then) {
    auto self = shared_from_this();
    asio::async_read(
        socket_, buffer,
        [self, then = std::move(then)](const boost::system::error_code& error, std::size_t) {
            if (error) {
                self->end();
                return;
            }
            then();
        });
}

// The handlers below run inside readExactly's, which holds the connection alive.
void UsbmuxdConnection::readHeader() {
    readExactly(asio::buffer(header_), [this] {
        const std::uint32_t length = readLittleEndian(header_.data());
        tag_ = readLittleEndian(header_.data() + 12);
        if (length <= kHeaderSize || length - kHeaderSize > kMaxBody) {
            owner_.context().log("usbmuxd: bad request length, closing");
            end();
            return;
        }
        readBody(length - kHeaderSize);
    });
}

void UsbmuxdConnection::readBody(std::uint32_t bodyLength) {
    body_.resize(bodyLength);
    readExactly(asio::buffer(body_),
                [this] { handleRequest(std::string(body_.begin(), body_.end())); });
}

void UsbmuxdConnection::handleRequest(const std::string& body) {
    PlistPtr request = plistFromXml(body);
    const auto type = plistString(request.get(), "MessageType");
    if (!type) {
        owner_.context().log("usbmuxd: request is no plist with a MessageType");
        replyResult(kResultBadCommand);
        readHeader();
        return;
    }
    owner_.context().log("usbmuxd: " + *type);
    const auto& devices = owner_.context().options.usbDevices;
    if (*type == "Connect") {
        connectDevice(request.get());  // no further request: the socket may become a tunnel
        return;
    }
    if (*type == "ListDevices") {
        PlistPtr message(plist_new_dict());
        PlistPtr list(plist_new_array());
        for (const auto& device : devices)
            plist_array_append_item(list.get(), attachedMessage(device).release());
        plist_dict_set_item(message.get(), "DeviceList", list.release());
        reply(message.get());
    } else if (*type == "Listen") {
        replyResult(kResultOk);
        for (const auto& device : devices) reply(attachedMessage(device).get());
    } else {
        replyResult(kResultBadCommand);
    }
    readHeader();
}

void UsbmuxdConnection::connectDevice(plist_t request) {
    const auto deviceId = plistUnsigned(request, "DeviceID");
    const auto portNumber = plistUnsigned(request, "PortNumber");
    const auto& devices = owner_.context().options.usbDevices;
    bool known = false;
    for (const auto& device : devices) known = known || (deviceId && device.deviceId == *deviceId);
    if (!known || !portNumber) {
        replyResult(kResultBadDevice);
        readHeader();
        return;
    }
    // The client sends the port in network byte order.
    const unsigned short port = ntohs(static_cast<std::uint16_t>(*portNumber));
    auto phone = std::make_shared<tcp::socket>(socket_.get_executor());
    const tcp::endpoint target(asio::ip::make_address(owner_.tunnelAddress()), port);
    auto self = shared_from_this();
    phone->async_connect(target, [self, phone, port](const boost::system::error_code& error) {
        if (self->ended_) return;
        if (error) {
            self->owner_.context().log("usbmuxd: connect to port " + std::to_string(port) +
                                       " refused");
            self->replyResult(kResultConnectionRefused);
            self->readHeader();
            return;
        }
        // The Result 0 is the last byte of the protocol before the tunnel's first byte.
        self->replyResult(kResultOk, [self, phone] { self->becomeTunnel(phone); });
    });
}

void UsbmuxdConnection::reply(plist_t message, std::function<void()> afterWritten) {
    const std::string xml = plistToXml(message);
    std::string packet;
    writeLittleEndian(packet, static_cast<std::uint32_t>(kHeaderSize + xml.size()));
    writeLittleEndian(packet, kPlistVersion);
    writeLittleEndian(packet, kPlistMessage);
    writeLittleEndian(packet, tag_);
    packet += xml;
    replies_.emplace_back(std::move(packet), std::move(afterWritten));
    if (!writing_) writeNext();
}

void UsbmuxdConnection::replyResult(std::uint64_t number, std::function<void()> afterWritten) {
    PlistPtr message(plist_new_dict());
    plist_dict_set_item(message.get(), "MessageType", plist_new_string("Result"));
    plist_dict_set_item(message.get(), "Number", plist_new_uint(number));
    reply(message.get(), std::move(afterWritten));
}

void UsbmuxdConnection::writeNext() {
    if (replies_.empty() || ended_) {
        writing_ = false;
        return;
    }
    writing_ = true;
    auto self = shared_from_this();
    asio::async_write(socket_, asio::buffer(replies_.front().first),
                      [self](const boost::system::error_code& error, std::size_t) {
                          if (error) {
                              self->end();
                              return;
                          }
                          auto afterWritten = std::move(self->replies_.front().second);
                          self->replies_.pop_front();
                          if (afterWritten) afterWritten();
                          self->writeNext();
                      });
}

void UsbmuxdConnection::becomeTunnel(std::shared_ptr<tcp::socket> phone) {
    if (ended_) return;
    ended_ = true;
    owner_.openTunnel(std::move(socket_), std::move(*phone));
    owner_.forget(shared_from_this());
}
