// The connection check over Wi-Fi: the phone's address, the route to it, the receive port, the
// connect command and the phone's answer, in the order a connection goes through them.

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>

#include <boost/asio/buffer.hpp>
#include <boost/asio/error.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/udp.hpp>
#include <boost/system/system_error.hpp>

#include "transport/connection/ConnectionCheck.h"
#include "transport/connection/NetworkRoute.h"
#include "transport/connection/PhoneEndpoint.h"
#include "transport/connection/ReceivePort.h"
#include "transport/connection/UDPClient.h"
#include "transport/protocol/PhoneCommands.h"
#include "transport/protocol/PhoneMessageDecryptor.h"

namespace {

using boost::asio::ip::udp;
using Clock = std::chrono::steady_clock;
using Outcome = CheckStep::Outcome;

CheckStep skipped(const char* name, const char* because) {
    return CheckStep{name, Outcome::skipped, because, ""};
}

std::string seconds(std::chrono::milliseconds duration) {
    const long long ms = duration.count();
    if (ms % 1000 == 0) return std::to_string(ms / 1000) + " s";
    return std::to_string(ms) + " ms";
}

// What one receive brought before the deadline.
struct Received {
    bool arrived = false;
    boost::system::error_code error;
    std::size_t bytes = 0;
};

Received receiveUntil(boost::asio::io_context& loop, udp::socket& socket,
                      std::array<std::uint8_t, UDPClient::kDatagramBytes>& buffer,
                      udp::endpoint& sender, Clock::time_point deadline) {
    Received received;
    bool done = false;
    socket.async_receive_from(boost::asio::buffer(buffer), sender,
                              [&](const boost::system::error_code& error, std::size_t bytes) {
                                  done = true;
                                  received.error = error;
                                  received.bytes = bytes;
                              });
    loop.restart();
    loop.run_until(deadline);
    if (!done) {
        // The deadline passed: take the receive back before its buffer goes away.
        boost::system::error_code ignored;
        socket.cancel(ignored);
        loop.restart();
        loop.run();
        return Received{};
    }
    received.arrived = true;
    return received;
}

}  // namespace

std::vector<CheckStep> checkWifiConnection(const ConnectionCheckSettings& settings) {
    std::vector<CheckStep> steps;
    boost::asio::io_context loop;

    // 1. The phone's address.
    const std::string portText = std::to_string(settings.port);
    udp::endpoint phone;
    CheckStep address{"Address", Outcome::ok, "", ""};
    if (settings.address.empty()) {
        address.outcome = Outcome::failed;
        address.detail = settings.addressName + " is empty.";
        address.next =
            "set it to the phone's address: the app shows it on its streaming screen, "
            "and the phone's Wi-Fi settings list it.";
    } else if (settings.port < 1 || settings.port > kLastPort) {
        address.outcome = Outcome::failed;
        address.detail = settings.portName + " is " + portText + ", not a port.";
        address.next = "set it to the app's Wi-Fi port (35601 unless the app says otherwise).";
    } else if (isIpv6Address(settings.address)) {
        address.outcome = Outcome::failed;
        address.detail = "\"" + settings.address + "\" (" + settings.addressName +
                         ") is an IPv6 address; the phone is reached over IPv4.";
        address.next = "set " + settings.addressName +
                       " to the phone's IPv4 address (four numbers, such as 192.168.0.42): the app "
                       "shows it on its streaming screen, and the phone's Wi-Fi settings list it.";
    } else {
        try {
            phone = resolvePhoneEndpoint(loop, settings.address, portText);
            address.detail = "\"" + settings.address + "\" is " + phone.address().to_string() +
                             "; the app's port is " + portText + ".";
        } catch (const boost::system::system_error& error) {
            address.outcome = Outcome::failed;
            address.detail = "\"" + settings.address + "\" (" + settings.addressName +
                             ") does not resolve (" + error.code().message() + ").";
            address.next = "set " + settings.addressName +
                           " to the phone's address: the app shows it on its streaming screen, "
                           "and the phone's Wi-Fi settings list it.";
        }
    }
    steps.push_back(address);
    if (address.outcome == Outcome::failed) {
        for (const char* name : {"Route", "Receive port", "Connect sent", "Answer"}) {
            steps.push_back(skipped(name, "needs the phone's address."));
        }
        return steps;
    }
    const std::string phoneAddress = phone.address().to_string();

    // 2. The route: which address of this computer the phone is reached from, and its network.
    std::string routeError;
    const std::optional<LocalRoute> route = routeTo(phone.address().to_v4(), routeError);
    std::string localAddress = "this computer";
    CheckStep routeStep{"Route", Outcome::ok, "", ""};
    if (!route) {
        routeStep.outcome = Outcome::failed;
        routeStep.detail =
            "no network of this computer reaches " + phoneAddress + " (" + routeError + ").";
        routeStep.next = "connect this computer to the network the phone is on.";
    } else {
        localAddress = route->localAddress.to_string();
        routeStep.detail = "this computer reaches " + phoneAddress + " from " + localAddress;
        if (!route->prefixLength) {
            routeStep.detail += "; the network of that address cannot be read.";
        } else if (route->sameSubnet(phone.address().to_v4())) {
            routeStep.detail +=
                " on network " + route->network() + "; the phone is on the same subnet.";
        } else {
            routeStep.outcome = Outcome::warning;
            routeStep.detail += " on network " + route->network() + "; the phone (" + phoneAddress +
                                ") is not on that subnet.";
            routeStep.next =
                "join this computer and the phone to the same network (not a guest "
                "network); between two subnets the router must pass UDP both ways.";
        }
    }
    steps.push_back(routeStep);

    // 3. The receive port.
    udp::socket socket(loop);
    CheckStep receive{"Receive port", Outcome::ok, "", ""};
    ReceivePortBinding binding;
    if (!isReceivePortSetting(settings.receivePort)) {
        receive.outcome = Outcome::failed;
        receive.detail = settings.receivePortName + " is " + std::to_string(settings.receivePort) +
                         ", not a port.";
        receive.next = "set it to 0 (any free port) or to a port from 1 to 65535.";
    } else {
        binding = bindReceivePort(socket, static_cast<unsigned short>(settings.receivePort));
        const std::string port = "UDP port " + std::to_string(binding.port);
        if (binding.bound && settings.receivePort == kAnyReceivePort) {
            receive.detail = port + " is free (the system picks a free port at every connect; " +
                             "set " + settings.receivePortName + " to fix one for a firewall).";
        } else if (binding.bound) {
            receive.detail = port + " (" + settings.receivePortName + ") is free.";
        } else {
            receive.outcome = Outcome::failed;
            receive.detail = port + " (" + settings.receivePortName + ") " +
                             (binding.inUse ? "is in use on this computer."
                                            : "cannot be used (" + binding.reason + ").");
            receive.next = "close the program that holds it, or set " + settings.receivePortName +
                           " to another port (0 picks a free one).";
        }
    }
    steps.push_back(receive);
    if (receive.outcome == Outcome::failed) {
        steps.push_back(skipped("Connect sent", "needs a receive port."));
        steps.push_back(skipped("Answer", "needs a receive port."));
        return steps;
    }

    // 4. The connect command, from the receive port as a session sends it.
    const std::string command = wifiConnectCommand(binding.port);
    boost::system::error_code sendError;
    socket.send_to(boost::asio::buffer(command), phone, 0, sendError);
    CheckStep sent{"Connect sent", Outcome::ok, "", ""};
    if (sendError) {
        sent.outcome = Outcome::failed;
        sent.detail = "\"" + command + "\" could not be sent to " + phoneAddress + ":" + portText +
                      " (" + sendError.message() + ").";
        sent.next = "check this computer's network connection.";
        steps.push_back(sent);
        steps.push_back(skipped("Answer", "the connect command was not sent."));
        return steps;
    }
    sent.detail = "\"" + command + "\" went to " + phoneAddress + ":" + portText + ".";
    steps.push_back(sent);

    // 5. The answer. Datagrams that hold no answer (a stream meant for an earlier session, or
    // bytes from another program) are passed over until the time-out.
    const std::string receiveHint =
        "let this computer's firewall pass UDP to port " + std::to_string(binding.port) +
        " (or set " + settings.receivePortName +
        " to a port it lets through); make sure the phone (" + phoneAddress +
        ") and this computer (" + localAddress +
        ") are on the same subnet, with no guest network or client isolation; ";
    PhoneMessageDecryptor decryptor(UDPClient::kDatagramBytes);
    std::array<std::uint8_t, UDPClient::kDatagramBytes> buffer{};
    const Clock::time_point deadline = Clock::now() + settings.replyTimeout;
    std::size_t strayDatagrams = 0;
    for (;;) {
        udp::endpoint sender;
        const Received received = receiveUntil(loop, socket, buffer, sender, deadline);
        if (!received.arrived) break;
        if (received.error == boost::asio::error::connection_refused ||
            received.error == boost::asio::error::connection_reset) {
            // The system heard back that nothing receives on the phone's port.
            CheckStep refused{
                "Answer", Outcome::failed,
                "nothing receives on UDP port " + portText + " at " + phoneAddress + ".",
                "check that " + settings.portName + " (" + portText +
                    ") is the app's Wi-Fi port, and that the app is open."};
            steps.push_back(refused);
            return steps;
        }
        if (received.error && received.error != boost::asio::error::message_size) {
            ++strayDatagrams;
            continue;
        }
        std::string text;
        if (!decryptor.decrypt(buffer.data(), received.bytes, text) || isDataMessage(text)) {
            ++strayDatagrams;
            continue;
        }
        const ConnectReply reply = readConnectReply(text);
        const std::string from = sender.address().to_string() + ":" + std::to_string(sender.port());
        if (reply.kind == ConnectReply::Kind::accepted) {
            // End the session the answer opened on the phone.
            const std::string stop(kStopCommand);
            boost::system::error_code ignored;
            socket.send_to(boost::asio::buffer(stop), phone, 0, ignored);
        }
        CheckStep answer = answerStep(reply, from);
        if (sender.address() != phone.address() && answer.outcome == Outcome::ok) {
            answer.outcome = Outcome::warning;
            answer.detail += " The answer came from " + sender.address().to_string() +
                             ", not from " + phoneAddress + ".";
            answer.next = "set " + settings.addressName + " to " + sender.address().to_string() +
                          ", the address the phone answers from.";
        }
        steps.push_back(answer);
        return steps;
    }
    CheckStep silent{"Answer", Outcome::failed,
                     "no answer within " + seconds(settings.replyTimeout) + ".", ""};
    if (strayDatagrams > 0) {
        silent.detail += " " + std::to_string(strayDatagrams) +
                         " datagram(s) came that hold no answer of the app.";
    }
    silent.next = silentPhoneHints(settings, false, receiveHint);
    steps.push_back(silent);
    return steps;
}
