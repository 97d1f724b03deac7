// Writes the seeds that need the cipher or the clip writer into corpus/usb_stream and
// corpus/clip_reader under the folder given (fuzz/ of the source tree). Run once by hand; the
// seeds are kept in the repository.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "clip/format/ClipWriter.h"
#include "transport/cipher/AesCbcCipher.h"
#include "transport/records/CaptureRecords.h"

namespace {

// One message as the phone sends it over USB: an 8-digit length, a 16-byte IV, then the text
// zero-padded to whole AES blocks and encrypted under the message key.
std::string usbMessage(const std::string& text, std::uint8_t ivByte) {
    AesIv iv;
    iv.fill(ivByte);
    std::vector<std::uint8_t> block(text.begin(), text.end());
    block.resize((text.size() / kAesBlockSize + 1) * kAesBlockSize, 0);
    AesCbcCipher cipher(messageKey());
    if (!cipher.encrypt(iv, block.data(), block.size())) throw std::runtime_error("encrypt failed");
    char header[9];
    std::snprintf(header, sizeof header, "%08zu", iv.size() + block.size());
    std::string message(header, 8);
    message.append(iv.begin(), iv.end());
    message.append(block.begin(), block.end());
    return message;
}

std::string clipFile(const ChannelNameLists& names, int frameCount) {
    std::ostringstream out(std::ios::binary);
    ClipWriter writer(out, names);
    std::vector<double> values(names.flatValueCount());
    for (int frame = 0; frame < frameCount; ++frame) {
        for (std::size_t i = 0; i < values.size(); ++i) values[i] = 0.125 * frame - 0.5 * i;
        writer.writeFrame(10.0 + frame / 60.0, values.data(), values.size());
    }
    writer.finish();
    return out.str();
}

void write(const std::filesystem::path& path, char mode, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary);
    file.put(mode);
    file << bytes;
    if (!file) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_fuzz_seeds <fuzz folder>\n";
        return 2;
    }
    const std::filesystem::path corpus = std::filesystem::path(argv[1]) / "corpus";
    try {
        // The receive-size selector, then the stream.
        const std::string reply = usbMessage("sa\nsb\n#\nvh\n#\nmh", 1);
        const std::string data = usbMessage("timestamp;12.5\nsa;0.25\nvhY;-3\nmh3X;1.5", 2);
        write(corpus / "usb_stream" / "reply_and_data", '\x11', reply + data);
        write(corpus / "usb_stream" / "rejected", '\x00', usbMessage("/reject", 3));
        write(corpus / "usb_stream" / "reset_after_data", '\x35',
              reply + data + usbMessage("/reset", 4) + data);
        write(corpus / "usb_stream" / "video_reply", '\x22',
              reply + usbMessage("video -port 5001", 5) + data);
        write(corpus / "usb_stream" / "oversized_skipped", '\x07',
              reply + "01048577" + std::string(64, 'x'));

        // Mode byte 0: the file's bytes as written.
        ChannelNameLists names;
        names.scalars() = {"jawOpen", "eyeBlinkLeft"};
        names.vectors() = {"headPosition"};
        names.matrices() = {"headTransform"};
        write(corpus / "clip_reader" / "written_clip", '\x00', clipFile(names, 3));
        ChannelNameLists scalarsOnly;
        scalarsOnly.scalars() = {"a"};
        write(corpus / "clip_reader" / "written_scalar_clip", '\x00', clipFile(scalarsOnly, 2));
    } catch (const std::exception& error) {
        std::cerr << "make_fuzz_seeds: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
