#include "support/ClipTestSupport.h"

#include "clip/format/ParseClipFile.h"
#include "device/channels/ChannelOutputRules.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

namespace {

// Whatever a damaged file holds, the reader ends with a result or one of the two conversion
// errors, and every frame it yields carries all of its values.
void expectCleanOutcome(const std::vector<std::uint8_t>& bytes) {
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    ChannelNameLists names;
    ClipFrames frames(matrixChannelOutputs);
    try {
        parseClipStream(names, frames, in);
    } catch (const std::invalid_argument&) {
    } catch (const std::out_of_range&) {
    }
    if (frames.empty()) return;
    ASSERT_EQ(frames.scalarCount(), names.scalars().size());
    ASSERT_EQ(frames.vectorCount(), names.vectors().size());
    ASSERT_EQ(frames.matrixCount(), names.matrices().size());
}

TEST(ClipDamage, FlippingAnyByteNeverBreaksTheReader) {
    TemporaryFolder folder;
    const std::string source = folder.file("source.clip");
    // Two records: a long scalar name pushes the frames of one scalar, one vector and one matrix
    // channel over the record boundary.
    std::string text = std::string(8170, 'n') + "^#^v^#^m^#^";
    for (int frame = 0; frame < 4; ++frame) {
        text += std::to_string(frame) + ".5^";
        for (int value = 0; value < 20; ++value) text += "0.12345678^";
        text += "*^";
    }
    storeClipText(source, text + "@");
    const auto original = fileBytes(source);
    ASSERT_EQ(original.size(), 2 * kClipRecordSize);

    for (std::size_t i = 0; i < original.size(); ++i) {
        auto bytes = original;
        bytes[i] ^= 0xFF;
        expectCleanOutcome(bytes);
        if (HasFatalFailure()) FAIL() << "byte " << i;
    }
}

TEST(ClipDamage, CutFilesNeverBreakTheReader) {
    TemporaryFolder folder;
    const std::string source = folder.file("source.clip");
    storeClipText(source, std::string(9000, 'n') + "^#^#^#^1^*^2^*^@");
    const auto original = fileBytes(source);
    for (std::size_t length = 0; length < original.size(); ++length) {
        expectCleanOutcome(std::vector<std::uint8_t>(
            original.begin(), original.begin() + static_cast<std::ptrdiff_t>(length)));
    }
}

}  // namespace
