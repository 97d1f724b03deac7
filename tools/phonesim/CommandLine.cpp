#include "CommandLine.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace {

template <typename Number>
bool parseNumber(const std::string& text, Number& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

bool parseSizes(const std::string& text, std::vector<std::size_t>& sizes) {
    std::stringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ',')) {
        std::size_t size = 0;
        if (!parseNumber(item, size) || size == 0) return false;
        sizes.push_back(size);
    }
    return !sizes.empty();
}

// Flags that set a count of the options.
const std::pair<const char*, long long PhoneSimOptions::*> kCountFlags[] = {
    {"--reset-after", &PhoneSimOptions::resetAfter},
    {"--malformed-every", &PhoneSimOptions::malformedEvery},
    {"--garbage-every", &PhoneSimOptions::garbageEvery},
    {"--usb-garbage-after", &PhoneSimOptions::usbGarbageAfter},
};

// Flags that choose how the phone answers a connection request; they exclude each other.
const std::pair<const char*, PhoneAnswer> kAnswerFlags[] = {
    {"--reject", PhoneAnswer::reject},
    {"--reject-wrong-screen", PhoneAnswer::rejectWrongScreen},
    {"--silent", PhoneAnswer::silent},
};

const std::pair<const char*, UsbGarbage> kUsbGarbageKinds[] = {
    {"bad-header", UsbGarbage::badHeader},
    {"oversized", UsbGarbage::oversized},
};

// The value a table gives the name, or null.
template <typename Value, std::size_t size>
const Value* lookUp(const std::pair<const char*, Value> (&table)[size], const std::string& name) {
    for (const auto& [key, value] : table) {
        if (name == key) return &value;
    }
    return nullptr;
}

}  // namespace

const char* commandLineUsage() {
    return "usage: phonesim [--udp-port N] [--usb-port N] [--usbmuxd-socket PATH] [--rate HZ]\n"
           "                [--channels FILE] [--video-bytes N]\n"
           "                [--reject | --reject-wrong-screen | --silent] [--reset-after N]\n"
           "                [--bind ADDRESS] [--no-wifi] [--no-usb] [--timestamp-step S]\n"
           "                [--usb-chunks N[,N...]] [--usb-chunk-pause-us N]\n"
           "                [--malformed-every N] [--garbage-every N]\n"
           "                [--usb-garbage bad-header|oversized] [--usb-garbage-after N]\n"
           "Ports 0 pick any free port. Runs until SIGINT or SIGTERM; logs every command.\n";
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    PhoneSimOptions& options = line.options;
    int answers = 0;
    for (std::size_t i = 0; i < arguments.size() && line.error.empty(); ++i) {
        const std::string& flag = arguments[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= arguments.size()) {
                line.error = flag + " needs a value";
                return false;
            }
            out = arguments[++i];
            return true;
        };
        auto number = [&](auto& out) {
            std::string text;
            if (!value(text)) return;
            if (!parseNumber(text, out)) line.error = flag + ": not a valid number: " + text;
        };
        if (flag == "--help" || flag == "-h") {
            line.showHelp = true;
        } else if (flag == "--udp-port" || flag == "--usb-port") {
            int port = 0;
            number(port);
            if (line.error.empty() && (port < 0 || port > 65535))
                line.error = flag + ": port out of range";
            (flag == "--udp-port" ? options.udpPort : options.usbPort) = port;
        } else if (flag == "--no-wifi") {
            options.udpPort = -1;
        } else if (flag == "--no-usb") {
            options.usbPort = -1;
        } else if (flag == "--usbmuxd-socket") {
            value(options.usbmuxdSocket);
        } else if (flag == "--bind") {
            value(options.bindAddress);
        } else if (flag == "--rate") {
            number(options.rate);
            if (line.error.empty() && !(options.rate >= 0.0 && options.rate <= 100000.0))
                line.error = "--rate: must be between 0 and 100000";
        } else if (flag == "--channels") {
            std::string path;
            if (!value(path)) break;
            std::ifstream file(path, std::ios::binary);
            std::stringstream text;
            text << file.rdbuf();
            if (!file) {
                line.error = "--channels: cannot read " + path;
            } else {
                options.channels = PhoneSim::parseChannelList(text.str());
                options.useDefaultChannels = false;
            }
        } else if (flag == "--video-bytes") {
            number(options.videoBytes);
        } else if (const PhoneAnswer* answer = lookUp(kAnswerFlags, flag)) {
            options.answer = *answer;
            ++answers;
        } else if (const auto* count = lookUp(kCountFlags, flag)) {
            number(options.*(*count));
        } else if (flag == "--timestamp-step") {
            number(options.timestampStep);
        } else if (flag == "--usb-chunks") {
            std::string text;
            if (value(text) && !parseSizes(text, options.usbChunking.sizes))
                line.error = "--usb-chunks: expected sizes above 0 separated by commas";
        } else if (flag == "--usb-chunk-pause-us") {
            long long micros = 0;
            number(micros);
            options.usbChunking.pause = std::chrono::microseconds(micros);
        } else if (flag == "--usb-garbage") {
            std::string kind;
            if (!value(kind)) break;
            if (const UsbGarbage* garbage = lookUp(kUsbGarbageKinds, kind))
                options.usbGarbage = *garbage;
            else
                line.error = "--usb-garbage: expected bad-header or oversized";
        } else {
            line.error = "unknown argument: " + flag;
        }
    }
    if (line.error.empty() && answers > 1)
        line.error = "--reject, --reject-wrong-screen and --silent exclude each other";
    return line;
}
