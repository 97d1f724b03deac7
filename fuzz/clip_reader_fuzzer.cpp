// Fuzzes the clip reader. The input's first byte chooses what the rest is:
//   even: the bytes of a clip file, read as they are;
//   odd:  a clip's text, which is first stored as a clip file would store it (8192-byte blocks
//         under the clip key, with a fixed IV so that runs repeat), so that the fuzzer reaches
//         the token and number parsing behind the cipher.
// The reader may refuse a file or throw std::invalid_argument or std::out_of_range for a bad
// number; anything else (a crash, another exception, a frame of the wrong width) is a finding.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>

#include "clip/format/ClipFormat.h"
#include "clip/format/ClipFrames.h"
#include "clip/format/ParseClipFile.h"
#include "transport/cipher/AesCbcCipher.h"

namespace {

std::string storeAsClipFile(const std::uint8_t* text, std::size_t size) {
    static AesCbcCipher cipher(clipKey());
    const AesIv iv{};
    std::string file;
    std::uint8_t block[kClipTextBlockSize];
    std::size_t at = 0;
    do {
        const std::size_t take = std::min(kClipTextBlockSize, size - at);
        std::fill(std::copy(text + at, text + at + take, block), block + kClipTextBlockSize, 0);
        if (!cipher.encrypt(iv, block, kClipTextBlockSize)) std::abort();
        file.append(reinterpret_cast<const char*>(iv.data()), iv.size());
        file.append(reinterpret_cast<const char*>(block), kClipTextBlockSize);
        at += take;
    } while (at < size);
    return file;
}

// Stands in for Maya's decomposition, which the clip format leaves to the nodes: it reads all
// sixteen values, so that a matrix cut short shows as a read past its frame.
std::array<double, 6> sumOfRows(const double* rowMajor16) {
    std::array<double, 6> outputs{};
    for (int k = 0; k < 16; ++k) outputs[static_cast<std::size_t>(k / 4)] += rowMajor16[k];
    return outputs;
}

void checkFrames(const ChannelNameLists& names, const ClipFrames& frames) {
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const ClipFrame frame = frames.frame(i);
        if (frame.scalars.size() != names.scalars().size() ||
            frame.vectors.size() != names.vectors().size() ||
            frame.matrices.size() != names.matrices().size()) {
            std::fprintf(stderr, "clip_reader: a frame of the wrong width\n");
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool asText = (data[0] & 1u) != 0;
    std::istringstream file(asText ? storeAsClipFile(data + 1, size - 1)
                                   : std::string(reinterpret_cast<const char*>(data + 1), size - 1),
                            std::ios::binary);
    ChannelNameLists names;
    ClipFrames frames(sumOfRows);
    try {
        if (parseClipStream(names, frames, file)) checkFrames(names, frames);
    } catch (const std::invalid_argument&) {
    } catch (const std::out_of_range&) {
    }
    return 0;
}
