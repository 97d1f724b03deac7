// The command language and the runner: words, strings, comments, flags, results as Maya echoes
// them, errors, and hostbatch's exit status.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>

#include <headless/Scene.h>
#include <headless/Script.h>
#include <headless/ScriptOutput.h>

#include "SceneTest.h"

namespace {

using headless::execute;

class Script : public hosttest::SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        headless::clearScriptOutput();
    }
};

TEST_F(Script, SyntaxAndOutput) {
    const auto r = headless::runScript(
        "// a comment; with a semicolon\n"
        "createNode transform -n \"t1\"; // trailing comment\n"
        "setAttr -type string t1.tx 1;\n"  // a wrong flag for a number
        "setAttr t1.tx 0.00001\n;"
        "getAttr t1.tx; print \"two\\nlines\\n\"; getAttr t1.visibility",
        headless::ScriptOptions{false, true});
    ASSERT_EQ(r.commands.size(), 6u);
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.commands[1].ok);
    EXPECT_EQ(r.commands[3].result, "1e-05");
    EXPECT_EQ(r.commands[5].result, "1");
    const auto lines = headless::scriptOutputLines();
    const std::vector<std::string> expected{"// Result: t1 //",
                                            "// Error: " + r.commands[1].error + " //",
                                            "// Result: 1e-05 //",
                                            "two",
                                            "lines",
                                            "// Result: 1 //"};
    EXPECT_EQ(lines, expected);
}

TEST_F(Script, StopsAtTheFirstErrorAndReportsUnterminatedStrings) {
    const auto r =
        headless::runScript("createNode transform -n a; nope; createNode transform -n b");
    EXPECT_EQ(r.commands.size(), 2u);
    EXPECT_TRUE(headless::findNode("b").isNull());
    EXPECT_FALSE(execute("print \"open").ok);
    EXPECT_TRUE(execute("").ok);
}

TEST_F(Script, MGlobalRunsCommandsAndFindsNodesByName) {
    MString result;
    ASSERT_TRUE(MGlobal::executeCommand(
        "createNode transform -n dev1; createNode transform -n dev2", result));
    EXPECT_EQ(result, "dev2");
    MSelectionList list;
    ASSERT_TRUE(MGlobal::getSelectionListByName("dev*", list));
    ASSERT_EQ(list.length(), 2u);
    MObject first;
    ASSERT_TRUE(list.getDependNode(0, first));
    EXPECT_EQ(MFnDependencyNode(first).name(), "dev1");
    EXPECT_EQ(first.apiType(), MFn::kTransform);
    EXPECT_FALSE(MGlobal::getSelectionListByName("nothing", list));
    EXPECT_FALSE(MGlobal::executeCommand("getAttr nothing.tx"));
}

int runHostbatch(const std::string& arguments) {
    const std::string command = std::string(std::getenv("LMRA_BUILD_DIR")) + "/bin/hostbatch " +
                                arguments + " > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(Script, HostbatchExitStatus) {
    EXPECT_EQ(
        runHostbatch(
            "-c 'createNode transform -n t1; setAttr t1.translateX 2.5; getAttr t1.translateX'"),
        0);
    EXPECT_EQ(runHostbatch("-c 'nope; createNode transform'"), 1);
    EXPECT_EQ(runHostbatch("-stop-on-error -c 'nope' -c 'createNode transform'"), 1);
    EXPECT_EQ(runHostbatch("/nonexistent/script.mel"), 2);
    EXPECT_EQ(runHostbatch(""), 2);
    EXPECT_EQ(
        runHostbatch(std::string(std::getenv("LMRA_SOURCE_DIR")) + "/examples/list_plugin.mel"), 0);
}

TEST(HostbatchOutput, PrintsTheResultAsMayaEchoesIt) {
    const std::string command =
        std::string(std::getenv("LMRA_BUILD_DIR")) +
        "/bin/hostbatch -c 'createNode transform -n t1; setAttr t1.translateX 2.5; "
        "getAttr t1.translateX'";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_EQ(output, "// Result: t1 //\n// Result: 2.5 //\n");
}

}  // namespace
