#include "support/ClipTestSupport.h"

#include "CliptoolCommands.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdlib>
#include <sstream>

namespace {

void storeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string matrixColumns(const std::string& name) {
    std::string columns;
    for (const char* suffix : {"0X", "0Y", "0Z", "0W", "1X", "1Y", "1Z", "1W", "2X", "2Y", "2Z",
                               "2W", "3X", "3Y", "3Z", "3W"})
        columns += "," + name + suffix;
    return columns;
}

std::string matrixRow(const char* translation) {
    return ",1.00000000,0.00000000,0.00000000,0.00000000,0.00000000,1.00000000,0.00000000,0."
           "00000000,"
           "0.00000000,0.00000000,1.00000000,0.00000000," +
           std::string(translation) + ",1.00000000";
}

// Two scalars (one needing quotes), a vector, a matrix; absolute times as a capture writes them.
std::string sampleCsv() {
    return "time,jawOpen,\"smile, left\",gazeX,gazeY,gazeZ" + matrixColumns("head") + "\n" +
           "1000.50000000,0.25000000,-0.00000000,1.00000000,2.00000000,3.00000000" +
           matrixRow("4.00000000,5.00000000,6.00000000") + "\n" +
           "1000.51666667,0.30000000,12345.67890123,-1.00000000,-2.00000000,-3.00000000" +
           matrixRow("-4.00000000,0.00000001,1e3") + "\n";
}

TEST(Cliptool, MakeThenCsvGivesTheCsvBack) {
    TemporaryFolder folder;
    const std::string csv = folder.file("take.csv");
    const std::string clip = folder.file("take.clip");
    std::string text = sampleCsv();
    storeText(csv, text);
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(clipMake(csv, clip, err), 0) << err.str();
    ASSERT_EQ(clipCsv(clip, out, err), 0) << err.str();
    // The one value not written in the clip's own notation comes back in it.
    text.replace(text.find("1e3"), 3, "1000.00000000");
    EXPECT_EQ(out.str(), text);
    EXPECT_FALSE(std::filesystem::exists(clip + ".partial"));
}

TEST(Cliptool, InfoAndDump) {
    TemporaryFolder folder;
    const std::string csv = folder.file("take.csv");
    const std::string clip = folder.file("take.clip");
    storeText(csv, "time,a\n5.00000000,1.00000000\n5.50000000,2.00000000\n6.00000000,3.00000000\n");
    std::ostringstream err;
    ASSERT_EQ(clipMake(csv, clip, err), 0);

    std::ostringstream info;
    ASSERT_EQ(clipInfo(clip, info, err), 0);
    EXPECT_NE(info.str().find("scalar channels: 1\n  a\n"), std::string::npos) << info.str();
    EXPECT_NE(info.str().find("frames: 3\n"), std::string::npos);
    EXPECT_NE(info.str().find("duration: 1.00000000 s\n"), std::string::npos);
    EXPECT_NE(info.str().find("frame rate: 2.000 fps"), std::string::npos);

    std::ostringstream dump;
    ASSERT_EQ(clipDump(clip, dump, err), 0);
    EXPECT_EQ(
        dump.str(),
        "a^#^#^#^5.00000000^1.00000000^*^5.50000000^2.00000000^*^6.00000000^3.00000000^*^@\n");
}

TEST(Cliptool, BadInputIsRefusedAndLosesNothing) {
    TemporaryFolder folder;
    const std::string csv = folder.file("bad.csv");
    const std::string clip = folder.file("kept.clip");
    storeText(clip, "previous");
    for (const char* text :
         {"", "frame,a\n1,2\n", "time,a\n1,2,3\n", "time,a\n1,x\n", "time,a\n1,1e999\n",
          "time,a^b\n1,2\n", "time,a\n", "time,\"a\n1,2\n"}) {
        storeText(csv, text);
        std::ostringstream err;
        EXPECT_NE(clipMake(csv, clip, err), 0) << text;
        EXPECT_FALSE(err.str().empty()) << text;
        EXPECT_EQ(readText(clip), "previous") << text;
        EXPECT_FALSE(std::filesystem::exists(clip + ".partial"));
    }
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_NE(clipCsv(clip, out, err), 0);  // "previous" is no clip: 8 bytes, less than a record
    EXPECT_NE(err.str().find("cut short"), std::string::npos) << err.str();
    EXPECT_NE(clipInfo(folder.file("missing.clip"), out, err), 0);
    EXPECT_NE(clipDump(folder.file("missing.clip"), out, err), 0);
}

// Each way a clip fails to load has its own reason, the one the clip reader gives too.
TEST(Cliptool, AClipThatDoesNotLoadSaysWhy) {
    TemporaryFolder folder;
    std::string manyScalars;
    std::string manyVectors;
    for (int i = 0; i < 100001; ++i) manyScalars += "s^";
    for (int i = 0; i < 100001; ++i) manyVectors += "v^";
    const std::vector<std::pair<std::string, std::string>> texts = {
        {"cut.clip", "a^#^#^#^0^1^*^"},
        {"cut-in-frame.clip", "a^#^#^#^0^1^*^1.5^"},
        {"letters.clip", "a^#^#^#^0^abc^*^@"},
        {"frame-end.clip", "a^#^#^#^0^1^2^*^@"},
        {"no-frames.clip", "a^#^#^#^@"},
        {"many-scalars.clip", manyScalars + "#^#^#^0^*^@"},
        {"many-vectors.clip", "#^" + manyVectors + "#^#^0^*^@"},
    };
    for (const auto& [name, text] : texts) storeClipText(folder.file(name), text);
    // Text and bytes that were never a clip under this key.
    storeText(folder.file("foreign.clip"), std::string(300, 'x') + "not a clip file at all");
    storeText(folder.file("empty.clip"), "");
    std::filesystem::create_directories(folder.file("folder.clip"));

    const std::pair<const char*, const char*> expected[] = {
        {"missing.clip", "cannot open"},
        {"folder.clip", "cannot open"},
        {"empty.clip", "cut short"},
        {"cut.clip", "cut short"},
        {"cut-in-frame.clip", "cut short"},
        {"letters.clip", "damaged or written with another key"},
        {"frame-end.clip", "damaged or written with another key"},
        {"foreign.clip", "damaged or written with another key"},
        {"no-frames.clip", "no frames"},
        {"many-scalars.clip", "too many channels"},
        {"many-vectors.clip", "too many channels"},
    };
    for (const auto& [name, why] : expected) {
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_NE(clipInfo(folder.file(name), out, err), 0) << name;
        EXPECT_NE(err.str().find(folder.file(name) + ": " + why), std::string::npos)
            << name << ": " << err.str();
    }
}

TEST(Cliptool, ProgramExitCodes) {
    const char* buildDir = std::getenv("LMRA_BUILD_DIR");
    ASSERT_NE(buildDir, nullptr);
    TemporaryFolder folder;
    const std::string tool = std::string(buildDir) + "/bin/cliptool";
    const std::string csv = folder.file("take.csv");
    const std::string clip = folder.file("take.clip");
    storeText(csv, sampleCsv());
    const auto run = [](const std::string& command) {
        const int status = std::system((command + " >/dev/null 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run(tool + " make '" + csv + "' '" + clip + "'"), 0);
    EXPECT_EQ(run(tool + " info '" + clip + "'"), 0);
    EXPECT_NE(run(tool + " csv '" + csv + "'"), 0);
    EXPECT_NE(run(tool + " frobnicate '" + clip + "'"), 0);
    EXPECT_NE(run(tool), 0);
}

}  // namespace
