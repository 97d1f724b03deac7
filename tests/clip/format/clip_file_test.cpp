#include "support/ChannelNames.h"
#include "support/ClipTestSupport.h"

#include "clip/format/ClipFileReader.h"
#include "clip/format/ClipWriter.h"
#include "clip/format/ParseClipFile.h"
#include "device/channels/ChannelOutputRules.h"
#include "transport/records/CaptureRecords.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>

namespace {

void writeClip(const std::string& path, const ChannelNameLists& names,
               const std::vector<CaptureFrame>& frames) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    ClipWriter writer(out, names);
    for (const auto& frame : frames) writer.writeFrame(frame);
    writer.finish();
}

struct Loaded {
    bool ok = false;
    ChannelNameLists names;
    ClipFrames frames{matrixChannelOutputs};
};

Loaded load(const std::string& path) {
    Loaded loaded;
    loaded.ok = parseClipFile(loaded.names, loaded.frames, path);
    return loaded;
}

// A clip file holding the text, loaded.
Loaded loadText(const std::string& text) {
    TemporaryFolder folder;
    const std::string path = folder.file("text.clip");
    storeClipText(path, text);
    return load(path);
}

TEST(ClipFile, WorkedExampleIsOneRecordOfSixtyBytesOfText) {
    TemporaryFolder folder;
    const std::string path = folder.file("take.clip");
    const double first[] = {0.25};
    const double second[] = {0.3};
    writeClip(path, channelNames({"sa"}),
              {CaptureFrame(12.5, first, 1), CaptureFrame(12.51666667, second, 1)});

    const std::string text = "sa^#^#^#^12.50000000^0.25000000^*^12.51666667^0.30000000^*^@";
    EXPECT_EQ(clipText(path), text);
    const auto bytes = fileBytes(path);
    ASSERT_EQ(bytes.size(), kClipRecordSize);
    // Four AES blocks hold the text and zeros; the rest of the block is zero and unencrypted.
    const auto plain = decryptedPrefix(bytes, 0, 64);
    EXPECT_EQ(std::string(plain.begin(), plain.begin() + 60), text);
    for (std::size_t i = 60; i < 64; ++i) EXPECT_EQ(plain[i], 0) << i;
    for (std::size_t i = kClipIvSize + 64; i < kClipRecordSize; ++i) ASSERT_EQ(bytes[i], 0) << i;

    const auto loaded = load(path);
    ASSERT_TRUE(loaded.ok);
    ASSERT_EQ(loaded.frames.size(), 2u);
    EXPECT_EQ(loaded.frames.time(0), 0.0);
    EXPECT_EQ(loaded.frames.time(1), 12.51666667 - 12.5);
    EXPECT_EQ(loaded.frames.frame(1).scalars, std::vector<double>{0.3});
}

TEST(ClipFile, RoundTripsNamesTimesAndValuesExactly) {
    TemporaryFolder folder;
    const auto names = channelNames({"jawOpen", "", "a b,c", "x#"}, {"gaze", "eye"}, {"head"});
    std::vector<CaptureFrame> frames;
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> any(-1000.0, 1000.0);
    for (int f = 0; f < 3000; ++f) {
        std::vector<double> values(names.flatValueCount());
        for (auto& value : values) value = any(random);
        frames.emplace_back(100.0 + f / 60.0, values.data(),
                            static_cast<std::uint32_t>(values.size()));
    }
    const std::string first = folder.file("first.clip");
    writeClip(first, names, frames);

    // Reading back and writing again gives the same text: names, times and values at 8 decimals.
    const std::string text = clipText(first);
    ASSERT_GT(fileBytes(first).size(), 4 * kClipRecordSize);
    std::vector<CaptureFrame> reread;
    {
        ClipFileReader reader(first);
        ChannelNameLists readNames;
        ASSERT_TRUE(reader.readNames(readNames));
        EXPECT_EQ(readNames, names);
        double time = 0;
        std::vector<double> values;
        while (reader.readFrame(time, values) == ClipFileReader::FrameRead::frame)
            reread.emplace_back(time, values.data(), static_cast<std::uint32_t>(values.size()));
    }
    ASSERT_EQ(reread.size(), frames.size());
    const std::string second = folder.file("second.clip");
    writeClip(second, names, reread);
    EXPECT_EQ(clipText(second), text);
    // Fresh IVs: the same text never gives the same bytes.
    EXPECT_NE(fileBytes(first), fileBytes(second));

    const auto loaded = load(first);
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.names, names);
    ASSERT_EQ(loaded.frames.size(), frames.size());
    EXPECT_EQ(loaded.frames.time(0), 0.0);
    EXPECT_NEAR(loaded.frames.time(60), 1.0, 1e-7);
    EXPECT_NEAR(loaded.frames.frame(5).scalars[3], frames[5].values[3], 5e-9);
    EXPECT_NEAR(loaded.frames.frame(5).vectors[1][2], frames[5].values[4 + 5], 5e-9);
    EXPECT_EQ(loaded.frames.frame(5).matrices.size(), 1u);
}

TEST(ClipFile, EveryRecordGetsItsOwnIv) {
    TemporaryFolder folder;
    const std::string path = folder.file("ivs.clip");
    storeClipText(path, std::string(20 * kClipTextBlockSize, 'a'));
    const auto bytes = fileBytes(path);
    std::set<std::vector<std::uint8_t>> ivs;
    for (std::size_t at = 0; at < bytes.size(); at += kClipRecordSize)
        ivs.emplace(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                    bytes.begin() + static_cast<std::ptrdiff_t>(at + kClipIvSize));
    EXPECT_EQ(ivs.size(), 20u);
}

TEST(ClipFile, RecordBoundaries) {
    TemporaryFolder folder;
    for (const std::size_t length : {kClipTextBlockSize, kClipTextBlockSize + 1}) {
        // A name that makes the whole text exactly `length` bytes.
        const std::string name(length - std::string("^#^#^#^0.00000000^0.00000000^*^@").size(),
                               'n');
        const std::string path = folder.file("boundary" + std::to_string(length));
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            ClipWriter writer(out, channelNames({name}));
            const double value = 0.0;
            writer.writeFrame(0.0, &value, 1);
            writer.finish();
        }
        const auto bytes = fileBytes(path);
        const std::string text = clipText(path);
        EXPECT_EQ(text.size(), length);
        if (length == kClipTextBlockSize) {
            EXPECT_EQ(bytes.size(), kClipRecordSize);
        } else {
            ASSERT_EQ(bytes.size(), 2 * kClipRecordSize);
            const auto plain = decryptedPrefix(bytes, 1, 16);
            EXPECT_EQ(plain[0], '@');
            EXPECT_EQ(plain[1], 0);
        }
        const auto loaded = load(path);
        EXPECT_TRUE(loaded.ok);
        EXPECT_EQ(loaded.names.scalars(), std::vector<std::string>{name});
    }
}

TEST(ClipFile, SmallestReadableFileLoadsWithNoChannels) {
    const auto loaded = loadText("#^#^#^0^*^@");
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.names.flatValueCount(), 0u);
    ASSERT_EQ(loaded.frames.size(), 1u);
    EXPECT_TRUE(loaded.frames.frame(0).scalars.empty());
}

TEST(ClipFile, FormatFailuresReturnFalse) {
    TemporaryFolder folder;
    const std::string path = folder.file("bad.clip");
    EXPECT_FALSE(load(folder.file("missing.clip")).ok);
    storeBytes(path, {});
    EXPECT_FALSE(load(path).ok);
    storeBytes(path, std::vector<std::uint8_t>(15, 1));
    EXPECT_FALSE(load(path).ok);

    for (const char* text : {
             "#^#^@",              // header ends early
             "#^#^#^@",            // header only, no frame
             "a^#^#^#^0^1^@",      // frame cut short
             "a^#^#^#^0^1^2^*^@",  // one value too many: a number where "*" belongs
             "a^#^#^#^0^1^**^@",   // frame end not exactly "*"
             "#^v^#^#^0^1^2^@",    // vector group cut short
             "#^v^#^#^0^1^x^@",    // cut short wins over the letters inside the group
         }) {
        storeClipText(path, text);
        EXPECT_FALSE(load(path).ok) << text;
    }
    // Names read so far and the complete frames stay after a failure.
    storeClipText(path, "a^#^#^#^5^1^*^6^2^*^7^3^@");
    const auto partial = load(path);
    EXPECT_FALSE(partial.ok);
    EXPECT_EQ(partial.names.scalars(), std::vector<std::string>{"a"});
    ASSERT_EQ(partial.frames.size(), 2u);
    EXPECT_EQ(partial.frames.time(1), 1.0);
}

TEST(ClipFile, ConversionFailuresThrowTheirKind) {
    TemporaryFolder folder;
    const std::string path = folder.file("bad.clip");
    ChannelNameLists names;
    ClipFrames frames(matrixChannelOutputs);
    const std::pair<const char*, bool> cases[] = {
        {"a^#^#^#^0^abc^*^@", true},     // letters: invalid argument
        {"a^b^#^#^#^0^1^*^@", true},     // one value too few: "*" is read as a value
        {"#^#^#^zero^*^@", true},        // time not a number
        {"a^#^#^#^0^1e999^*^@", false},  // out of range
        {"a^#^#^#^1e999^1^*^@", false},
        {"a^#^#^#^0^1^*^2@", false},  // text ends without "^" after its last token
    };
    for (const auto& [text, invalid] : cases) {
        storeClipText(path, text);
        if (invalid) {
            EXPECT_THROW(parseClipFile(names, frames, path), std::invalid_argument) << text;
        } else {
            EXPECT_THROW(parseClipFile(names, frames, path), std::out_of_range) << text;
        }
    }
}

TEST(ClipFile, ReaderAcceptsWhatOtherWritersMayWrite) {
    TemporaryFolder folder;
    const std::string path = folder.file("other.clip");
    // Exponent notation, "#..." section ends, equal and falling times (kept, not sorted).
    storeClipText(path, "a^#scalars^#end^#x^10^1e5^*^10^2^*^9^3^*^@");
    auto loaded = load(path);
    ASSERT_TRUE(loaded.ok);
    ASSERT_EQ(loaded.frames.size(), 3u);
    EXPECT_EQ(loaded.frames.frame(0).scalars[0], 100000.0);
    EXPECT_EQ(loaded.frames.time(1), 0.0);
    EXPECT_EQ(loaded.frames.time(2), -1.0);

    // Fewer than 16 trailing bytes after the last record are ignored.
    auto bytes = fileBytes(path);
    bytes.insert(bytes.end(), 15, 0xAB);
    storeBytes(path, bytes);
    EXPECT_TRUE(load(path).ok);
}

bool loads(const std::string& path) {
    try {
        return load(path).ok;
    } catch (const std::exception&) {
        return false;
    }
}

// The end marker closes every clip: a text that stops before it, even after a whole frame, is a
// clip cut short, wherever the cut falls.
TEST(ClipFile, AClipWithoutItsEndMarkerIsRefused) {
    TemporaryFolder folder;
    const std::string path = folder.file("cut.clip");
    // The last two fill whole AES blocks (32 and 48 bytes): nothing of the text's own block
    // marks its end, only the zero fill the writer leaves unencrypted after it.
    for (const char* text :
         {"a^#^#^#^0^1^*^1^2^*^", "#^#^#^0^*^", "a^#^#^#^0.5^1^*^1^2.25^*^2^35^*^",
          "ab^#^#^#^1.0000000^2.000^*^3.00000000^4.00000^*^"}) {
        storeClipText(path, text);
        ChannelNameLists names;
        ClipFrames frames(matrixChannelOutputs);
        EXPECT_EQ(loadClipFile(names, frames, path).failure, ClipLoadFailure::cutShort) << text;
    }
    // A written clip of several records, cut after each of its records but the last.
    const std::string whole = folder.file("whole.clip");
    std::vector<CaptureFrame> frames;
    for (int i = 0; i < 1500; ++i) {
        const double value = i;
        frames.emplace_back(i / 60.0, &value, 1);
    }
    writeClip(whole, channelNames({"a"}), frames);
    const auto bytes = fileBytes(whole);
    ASSERT_EQ(bytes.size() % kClipRecordSize, 0u);
    ASSERT_GT(bytes.size(), 2 * kClipRecordSize);
    for (std::size_t size = kClipRecordSize; size < bytes.size(); size += kClipRecordSize) {
        storeBytes(path, std::vector<std::uint8_t>(
                             bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size)));
        EXPECT_FALSE(loads(path)) << size / kClipRecordSize << " records";
    }
    EXPECT_TRUE(loads(whole));
}

// A time that is not a finite number drops its frame; values are data and load as they are.
TEST(ClipFile, FramesWithATimeThatIsNotFiniteAreDropped) {
    const auto loaded =
        loadText("a^#^#^#^nan^9^*^2^1^*^inf^8^*^3^nan^*^-inf^7^*^4.5^inf^*^-nan^6^*^@");
    ASSERT_TRUE(loaded.ok);
    ASSERT_EQ(loaded.frames.size(), 3u);
    EXPECT_EQ(loaded.frames.time(0), 0.0);
    EXPECT_EQ(loaded.frames.time(1), 1.0);
    EXPECT_EQ(loaded.frames.time(2), 2.5);
    EXPECT_EQ(loaded.frames.values(0)[0], 1.0);
    EXPECT_TRUE(std::isnan(loaded.frames.values(1)[0]));
    EXPECT_EQ(loaded.frames.values(2)[0], std::numeric_limits<double>::infinity());
}

TEST(ClipFile, CutRecordYieldsOnlyItsWholeAesBlocks) {
    TemporaryFolder folder;
    const std::string path = folder.file("cut.clip");
    // The frame ends in byte 16; the record is cut after 20 text bytes, inside the second AES
    // block, whose remains must not reach the text.
    storeClipText(path, "#^#^#^0.00000^*^7^*^@");
    auto bytes = fileBytes(path);
    bytes.resize(kClipIvSize + 20);
    storeBytes(path, bytes);
    // The text stops before its end marker: a clip cut short, and not a damaged one, as the
    // noise of the cut AES block never reaches the text.
    ChannelNameLists names;
    ClipFrames frames(matrixChannelOutputs);
    EXPECT_EQ(loadClipFile(names, frames, path).failure, ClipLoadFailure::cutShort);
    EXPECT_EQ(frames.size(), 1u);
}

TEST(ClipFile, NamesTheFormatCannotCarryAreRefusedBeforeWriting) {
    const std::string tooLong(kClipTextBlockSize, 'n');
    for (const auto& names :
         {channelNames({"a^b"}), channelNames({}, {"a@"}), channelNames({}, {}, {"#m"}),
          channelNames({std::string("a\0b", 3)}), channelNames({tooLong})}) {
        std::ostringstream out;
        EXPECT_THROW(ClipWriter(out, names), ClipWriteError);
        EXPECT_TRUE(out.str().empty());
    }
    std::ostringstream out;
    EXPECT_NO_THROW(ClipWriter(out, channelNames({std::string(kClipTextBlockSize - 1, 'n')})));
}

TEST(ClipFile, FailedStreamIsReported) {
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    ClipWriter writer(out, channelNames({"a"}));
    EXPECT_THROW(writer.finish(), ClipWriteError);
}

}  // namespace
