// The writer thread's work on its own: what it writes, and what a failed write leaves behind.

#include "clip/format/ClipFormat.h"
#include "clip/nodes/ClipWriterThreads.h"
#include "clip/nodes/SaveToFile.h"
#include "support/ClipNodesTest.h"
#include "support/RecordedMessages.h"

namespace {

SaveToFileArguments takeArguments(const std::string& path, int seconds) {
    SaveToFileArguments arguments;
    arguments.recording.names = channelNames({"s"});
    for (double t : {1.0, 2.0, 3.0}) {
        const double value = t * 10.0;
        arguments.recording.frames.emplace_back(t, &value, 1);
    }
    arguments.clipPath = path;
    arguments.clipLength = seconds;
    return arguments;
}

std::size_t entryCount(const std::filesystem::path& folder) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        (void)entry;
        ++count;
    }
    return count;
}

class SaveToFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::setEchoScriptOutput(false);
        headless::clearScriptOutput();
    }
    TemporaryFolder folder;
    RecordedMessages messages;  // the writer thread may not call Maya: it posts its errors
};

// The one message posted, an error about the clip path.
void expectWriteFailureFor(const std::vector<std::pair<MessageKind, std::string>>& messages,
                           const std::string& path) {
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, MessageKind::error);
    EXPECT_NE(messages[0].second.find("Cannot write clip file " + path), std::string::npos)
        << messages[0].second;
}

TEST_F(SaveToFileTest, WritesNothingForAnEmptyRecordingOrALengthNotAboveZero) {
    const std::string path = folder.file("take.clip");
    SaveToFileArguments empty;
    empty.clipPath = path;
    empty.clipLength = 5;
    saveToFile(empty);
    saveToFile(takeArguments(path, 0));
    saveToFile(takeArguments(path, -1));
    EXPECT_EQ(entryCount(folder.path()), 0u);
}

TEST_F(SaveToFileTest, AFailedWriteKeepsThePreviousTakeAndSaysWhy) {
    const std::string path = folder.file("take.clip");
    saveToFile(takeArguments(path, 1));
    const auto before = std::filesystem::file_size(path);

    auto broken = takeArguments(path, 2);
    broken.recording.names.scalars() = {"a^b"};  // a name no clip can carry
    saveToFile(broken);
    EXPECT_EQ(std::filesystem::file_size(path), before);
    EXPECT_EQ(entryCount(folder.path()), 1u);  // no temporary file left behind
    expectWriteFailureFor(messages.messages(), path);
    EXPECT_TRUE(headless::scriptOutputLines().empty());
}

TEST_F(SaveToFileTest, AClipPathTakenByAFolderIsReportedAndLeavesNothingBehind) {
    const std::string path = folder.file("take.clip");
    std::filesystem::create_directories(path + "/inside");
    saveToFile(takeArguments(path, 1));
    EXPECT_EQ(entryCount(folder.path()), 1u);
    expectWriteFailureFor(messages.messages(), path);
    EXPECT_TRUE(headless::scriptOutputLines().empty());
}

// A file the writer cannot create is reported with its path and the reason, whatever stands in
// the way.
TEST_F(SaveToFileTest, AClipThatCannotBeCreatedIsReportedWithTheReason) {
    std::ofstream(folder.file("plain-file")) << "x";
    const std::pair<std::string, std::string> cases[] = {
        {folder.file("missing/take.clip"), "does not exist"},
        {folder.file("plain-file/take.clip"), "is a file"},
    };
    for (const auto& [path, why] : cases) {
        RecordedMessages posted;
        saveToFile(takeArguments(path, 1));
        expectWriteFailureFor(posted.messages(), path);
        if (!posted.messages().empty()) {
            EXPECT_NE(posted.messages()[0].second.find(why), std::string::npos);
        }
    }
    EXPECT_EQ(entryCount(folder.path()), 1u);
    EXPECT_TRUE(headless::scriptOutputLines().empty());
}

// The temporary file is named apart from the clip, so any name the file system takes will do.
TEST_F(SaveToFileTest, AClipNameOfTheLongestLengthIsWritten) {
    const std::string name = std::string(240, 'n') + ".clip";  // 245 bytes of a 255-byte limit
    saveToFile(takeArguments(folder.file(name), 1));
    EXPECT_TRUE(messages.messages().empty());
    ASSERT_TRUE(std::filesystem::exists(folder.file(name)));
    EXPECT_EQ(entryCount(folder.path()), 1u);
}

TEST_F(SaveToFileTest, WaitingForWritersReturnsOnceEveryClipIsOnDisk) {
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(
            startClipWriter(takeArguments(folder.file("take" + std::to_string(i) + ".clip"), 1)));
    waitForClipWriters();
    EXPECT_EQ(entryCount(folder.path()), 8u);
    for (int i = 0; i < 8; ++i) {
        std::ifstream in(folder.file("take" + std::to_string(i) + ".clip"),
                         std::ios::binary | std::ios::ate);
        EXPECT_EQ(static_cast<std::size_t>(in.tellg()), kClipRecordSize) << i;
    }
}

}  // namespace

// What a script learns through mocapTakeInfo: the save's frames and duration once written, the
// reason when it was not, and the video's end by its path.
TEST_F(SaveToFileTest, EachSaveEndsWithItsOutcome) {
    const std::string path = folder.file("outcome.clip");
    auto saved = takeArguments(path, 1);  // cut at 2.0: frames 2.0 (as the start frame) and 3.0
    saved.outcome = beginSaveOutcome(path, folder.file("outcome.mov"));
    EXPECT_EQ(latestSaveOutcome(path)->clip, SaveOutcome::Clip::writing);
    saveToFile(saved);
    auto outcome = latestSaveOutcome(path);
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->clip, SaveOutcome::Clip::written);
    EXPECT_EQ(outcome->frames, 2u);
    EXPECT_DOUBLE_EQ(outcome->duration, 1.0);
    EXPECT_FALSE(outcome->finished());  // the video is still awaited
    reportVideoPartial(folder.file("outcome.mov"), 10, "cut short");
    reportVideoSaved(folder.file("outcome.mov"), 99);  // too late: the first end counts
    outcome = latestSaveOutcome(path);
    EXPECT_TRUE(outcome->finished());
    EXPECT_EQ(outcome->video, SaveOutcome::Video::partial);
    EXPECT_EQ(outcome->videoBytes, 10u);

    // A second save to the same path is the one reported; its failure carries the reason.
    auto broken = takeArguments(path, 2);
    broken.recording.names.scalars() = {"a^b"};
    broken.outcome = beginSaveOutcome(path, "");
    saveToFile(broken);
    outcome = latestSaveOutcome(path);
    EXPECT_EQ(outcome->clip, SaveOutcome::Clip::failed);
    EXPECT_NE(outcome->clipReason.find("Cannot write clip file " + path), std::string::npos);
    EXPECT_TRUE(outcome->finished());
    EXPECT_FALSE(latestSaveOutcome(folder.file("never.clip")));
}
