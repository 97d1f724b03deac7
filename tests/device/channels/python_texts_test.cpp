// The plug-in's Python texts, run exactly as they are through a real Python 3 interpreter: with
// the lumora package on the path they call it and set its flag around a rebuild; without it,
// none of them raises.

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "device/channels/LumoraPythonTexts.h"
#include "support/TemporaryFolder.h"

namespace {

// Debian's interpreter: a python3 found first on PATH may lack what Debian installs.
const char* const kPython = "/usr/bin/python3";

class PythonTexts : public ::testing::Test {
  protected:
    void SetUp() override {
        if (::access(kPython, X_OK) != 0) GTEST_SKIP() << kPython << " is not installed";
        const std::array<const char*, 4> texts = {kLumoraPluginInit, kLumoraSuppressRefreshOn,
                                                  kLumoraSuppressRefreshOff, kLumoraPluginCleanup};
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const std::string file = folder_.file("text" + std::to_string(i) + ".py");
            std::ofstream(file, std::ios::binary) << texts[i];
            files_ += " '" + file + "'";
        }
    }

    // Runs the check script isolated from the environment; returns its output, status last.
    std::string check(const std::string& mode) const {
        const std::string source = std::getenv("LMRA_SOURCE_DIR");
        const std::string command = std::string(kPython) + " -I '" + source +
                                    "/tests/device/channels/lumora_texts_check.py' " + mode + " '" +
                                    source + "/python'" + files_ + " 2>&1";
        std::string output;
        if (FILE* pipe = ::popen(command.c_str(), "r")) {
            std::array<char, 256> chunk{};
            while (std::fgets(chunk.data(), chunk.size(), pipe)) output += chunk.data();
            output += "status " + std::to_string(::pclose(pipe));
        }
        return output;
    }

    TemporaryFolder folder_;
    std::string files_;
};

TEST_F(PythonTexts, WithThePackageTheyCallItAndSetItsFlagAroundARebuild) {
    EXPECT_EQ(check("with"), "ok\nstatus 0");
}

TEST_F(PythonTexts, WithoutThePackageNoneRaises) {
    EXPECT_EQ(check("without"), "ok\nstatus 0");
}

}  // namespace
