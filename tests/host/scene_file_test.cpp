// Scene files: file -save, -open and -new, through the interpreter and the API.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMessageAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MFnUnitAttribute.h>

#include <headless/Scene.h>
#include <headless/Script.h>
#include <headless/ScriptOutput.h>

#include "SceneFileNodes.h"
#include "SceneTest.h"

namespace {

namespace fs = std::filesystem;
using headless::execute;
using hosttest::SavedNode;

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

MPlug plugOf(const std::string& node, const std::string& attribute) {
    return MFnDependencyNode(headless::findNode(node)).findPlug(attribute.c_str(), true);
}

class SceneFile : public hosttest::SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        SavedNode::refuseConnections = false;
        SavedNode::connectionsMade = 0;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() /
                  ("host_scene_" + std::string(info->name()) + "_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        SceneTest::TearDown();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    static void run(const std::string& script) {
        const auto result = headless::runScript(script, {true, false});
        for (const auto& command : result.commands)
            ASSERT_TRUE(command.ok) << command.command << ": " << command.error;
        ASSERT_TRUE(result.error.empty()) << result.error;
    }
    static std::string value(const std::string& plug) { return execute("getAttr " + plug).result; }
    static bool connected(const std::string& source, const std::string& destination) {
        return execute("isConnected " + source + " " + destination).result == "1";
    }
    headless::CommandResult save(const fs::path& path) {
        return execute("file -save \"" + path.string() + "\"");
    }
    headless::CommandResult open(const fs::path& path) {
        return execute("file -open \"" + path.string() + "\"");
    }

    // A transform "t1" with a dynamic compound "rig" (gain, tag, names, weights[], turn) and a
    // dynamic message "link"; "t2" and a SavedNode "s" connected to it.
    void buildRig() {
        run("createNode transform -n t1; createNode transform -n t2; createNode savedNode -n s");
        MFnCompoundAttribute compound;
        const MObject rig = compound.create("rig", "rg");
        MFnNumericAttribute numeric;
        const MObject gain = numeric.create("gain", "gn", MFnNumericData::kDouble, 2.0);
        numeric.setKeyable(true);
        numeric.setMin(-10.0);
        numeric.setMax(10.0);
        const MObject weights = numeric.create("weights", "wt", MFnNumericData::kFloat, 0.5);
        numeric.setArray(true);
        MFnTypedAttribute typed;
        const MObject tag = typed.create("tag", "tg", MFnData::kString);
        const MObject names = typed.create("names", "nm", MFnData::kStringArray);
        MFnUnitAttribute unit;
        const MObject turn = unit.create("turn", "tu", MFnUnitAttribute::kAngle, 0.0);
        unit.setHidden(true);
        for (const MObject& child : {gain, tag, names, weights, turn}) compound.addChild(child);
        MFnDependencyNode t1(headless::findNode("t1"));
        ASSERT_TRUE(t1.addAttribute(rig));
        MFnMessageAttribute message;
        ASSERT_TRUE(t1.addAttribute(message.create("link", "lk")));
        MFnNumericAttribute temporary;
        const MObject temp = temporary.create("temp", "tmp", MFnNumericData::kDouble, 0.0);
        temporary.setStorable(false);
        ASSERT_TRUE(t1.addAttribute(temp));

        run("setAttr t1.translate 1.5 -2 0.1; setAttr t1.rotateY 33; setAttr t2.visibility 0;"
            "setAttr t1.gain 3.5; setAttr -type stringArray t1.names 2 \"a b\" \"q\\\"uote\";"
            "setAttr t1.weights[1] 0.25; setAttr t1.weights[7] 1.25; setAttr t1.turn 90; setAttr "
            "t1.temp 8;"
            "connectAttr t1.translateX t2.translateY; connectAttr t1.gain t2.scaleX; connectAttr "
            "t2.message t1.link;"
            "setAttr s.level 0.25; setAttr -type string s.label \"two\\nlines\"; setAttr s.note 7;"
            "setAttr s.scratch 9; setAttr s.secret 4; setAttr s.slots[0] 0; setAttr s.slots[4] 0;"
            "setAttr s.spare[2] 0; setAttr s.spare[3] 6; connectAttr t1.translateZ s.input");
        std::string bytes;
        for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
        ASSERT_TRUE(
            plugOf("t1", "tag").setString(MString(bytes.data(), static_cast<int>(bytes.size()))));
        ASSERT_TRUE(plugOf("t1", "scaleZ").setDouble(1.0 / 3.0));
    }

    // The rig saved to `path`: the file's bytes, none when the save failed.
    std::string savedRig(const fs::path& path) {
        buildRig();
        const auto saved = save(path);
        EXPECT_TRUE(saved.ok) << saved.error;
        return saved.ok ? readBytes(path) : std::string();
    }

    fs::path folder_;
};

TEST_F(SceneFile, ReopenedSceneReadsBackEqual) {
    hosttest::SavedNodePlugin plugin("savedNode");
    const fs::path path = folder_ / "rig.scene";
    ASSERT_FALSE(savedRig(path).empty());
    headless::newScene();
    SavedNode::refuseConnections = true;  // a file's connections are made without a veto
    SavedNode::connectionsMade = 0;
    const auto opened = open(path);
    ASSERT_TRUE(opened.ok) << opened.error;
    EXPECT_EQ(opened.result, path.string());

    EXPECT_EQ(value("t1.translate"), "1.5 -2 0.1");
    EXPECT_EQ(plugOf("t1", "translateZ").asDouble(), 0.1);
    EXPECT_EQ(plugOf("t1", "scaleZ").asDouble(), 1.0 / 3.0);
    EXPECT_EQ(value("t1.rotateY"), "33");
    EXPECT_EQ(value("t2.visibility"), "0");
    EXPECT_EQ(value("t1.gain"), "3.5");
    EXPECT_EQ(execute("getAttr t1.names").items, (std::vector<std::string>{"a b", "q\"uote"}));
    EXPECT_EQ(value("t1.weights"), "0.25 1.25");
    EXPECT_EQ(value("t1.turn"), "90");
    EXPECT_EQ(value("t1.temp"), "0");  // not storable
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    const MString tag = plugOf("t1", "tag").asString();
    int length = 0;
    EXPECT_EQ(std::string(tag.asChar(length), static_cast<std::size_t>(tag.length())), bytes);

    MFnDependencyNode t1(headless::findNode("t1"));
    MFnCompoundAttribute rig(t1.attribute("rig"));
    ASSERT_EQ(rig.numChildren(), 5u);
    EXPECT_TRUE(rig.isDynamic());
    EXPECT_EQ(MFnAttribute(rig.child(3)).name(), "weights");
    MFnNumericAttribute gain(t1.attribute("gain"));
    double number = 0.0;
    EXPECT_TRUE(gain.isKeyable() && gain.isStorable() && !gain.isHidden());
    EXPECT_TRUE(gain.getMin(number) && number == -10.0);
    EXPECT_TRUE(gain.getMax(number) && number == 10.0);
    EXPECT_TRUE(gain.getDefault(number) && number == 2.0);
    EXPECT_EQ(gain.unitType(), MFnNumericData::kDouble);
    EXPECT_TRUE(MFnAttribute(t1.attribute("weights")).isArray());
    EXPECT_TRUE(MFnAttribute(t1.attribute("turn")).isHidden());
    EXPECT_EQ(MFnUnitAttribute(t1.attribute("turn")).unitType(), MFnUnitAttribute::kAngle);
    EXPECT_EQ(MFnTypedAttribute(t1.attribute("names")).attrType(), MFnData::kStringArray);
    EXPECT_FALSE(MFnAttribute(t1.attribute("temp")).isStorable());

    EXPECT_TRUE(connected("t1.translateX", "t2.translateY"));
    EXPECT_TRUE(connected("t1.gain", "t2.scaleX"));
    EXPECT_TRUE(connected("t2.message", "t1.link"));
    EXPECT_TRUE(connected("t1.translateZ", "s.input"));
    EXPECT_EQ(SavedNode::connectionsMade, 1);
    EXPECT_EQ(value("t2.scaleX"), "3.5");

    EXPECT_EQ(value("s.level"), "0.25");
    EXPECT_EQ(value("s.label"), "two\nlines");
    EXPECT_EQ(value("s.note"), "7");     // the dynamic attribute postConstructor made, reused
    EXPECT_EQ(value("s.scratch"), "0");  // not storable
    EXPECT_EQ(value("s.secret"), "0");   // shouldSave said no
    EXPECT_EQ(value("s.slots"), "0 0");  // shouldSave kept elements at their defaults
    EXPECT_EQ(value("s.spare"), "6");    // the host's rule drops an element at its default

    // Everything read back: saving again writes the same file.
    const fs::path again = folder_ / "again.scene";
    ASSERT_TRUE(save(again).ok);
    EXPECT_EQ(readBytes(again), readBytes(path));
}

TEST_F(SceneFile, PluginNodeTypesAreFoundByTheirIds) {
    const fs::path path = folder_ / "byId.scene";
    {
        hosttest::SavedNodePlugin plugin("savedNode");
        run("createNode savedNode -n s; setAttr s.level 3");
        ASSERT_TRUE(save(path).ok);
    }
    hosttest::SavedNodePlugin renamed("renamedSavedNode");
    ASSERT_TRUE(open(path).ok);
    EXPECT_EQ(execute("nodeType s").result, "renamedSavedNode");
    EXPECT_EQ(value("s.level"), "3");
}

TEST_F(SceneFile, UnknownTypeIdIsRefusedAndTheSceneStays) {
    const fs::path path = folder_ / "unknown.scene";
    {
        hosttest::SavedNodePlugin plugin("savedNode");
        run("createNode savedNode -n s");
        ASSERT_TRUE(save(path).ok);
    }
    run("createNode transform -n keep; setAttr keep.translateX 4");
    const auto names = headless::nodeNames();
    const std::string before = readBytes(path);
    headless::clearScriptOutput();

    const auto opened = open(path);
    EXPECT_FALSE(opened.ok);
    EXPECT_NE(opened.error.find("0x07f200"), std::string::npos) << opened.error;
    EXPECT_NE(opened.error.find(path.string()), std::string::npos) << opened.error;
    const auto lines = headless::scriptOutputLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("// Error: ", 0), 0u) << lines.back();
    EXPECT_EQ(headless::nodeNames(), names);
    EXPECT_EQ(value("keep.translateX"), "4");
    EXPECT_EQ(readBytes(path), before);
}

TEST_F(SceneFile, TruncatedAndGarbledFilesAreRefusedCleanly) {
    hosttest::SavedNodePlugin plugin("savedNode");
    const fs::path good = folder_ / "good.scene";
    const std::string text = savedRig(good);
    ASSERT_FALSE(text.empty());
    const fs::path bad = folder_ / "bad.scene";
    auto baseline = [&] {
        headless::newScene();
        run("createNode transform -n keep");
        return headless::nodeNames();
    };
    auto names = baseline();

    // Every cut before the closing "end" line is refused.
    for (std::size_t length = 0; length + 4 < text.size(); length += 7) {
        writeBytes(bad, text.substr(0, length));
        ASSERT_FALSE(open(bad).ok) << "cut at " << length;
        ASSERT_EQ(headless::nodeNames(), names);
    }
    for (const std::string& broken :
         {std::string("headlessScene 2\nend\n"),
          std::string("node 0x7f200 \"savedNode\" \"s\"\nend\n"),
          std::string("headlessScene 1\nvalue \"level\" number 1\nend\n"),
          std::string("headlessScene 1\nnode 0x7f200 \"savedNode\" \"s\nend\n"),
          std::string("headlessScene 1\nnode 0x7f200 \"savedNode\" \"s\"\nvalue \"level\" strings "
                      "3 \"a\"\nend\n"),
          std::string("headlessScene 1\nnode 0x7f200 \"savedNode\" \"s\"\nvalue \"level\" number "
                      "1e\nend\n"),
          std::string("headlessScene 1\nnode 0x7f200 \"savedNode\" \"s\"\nattribute \"nope\" \"x\" "
                      "\"x\" numeric double\nend\n"),
          std::string("headlessScene 1\nnode 0x7f200 \"savedNode\" \"9s\"\nend\n"),
          std::string("headlessScene 1\nconnect \"a\" \"message\" \"b\" \"message\"\nend\n"),
          std::string("headlessScene 1\nnode 0x7f200 \"savedNode\" \"s\"\nvalue \"label\" string "
                      "\"\\q\"\nend\n"),
          std::string("headlessScene 1\nend\nnode 0x7f200 \"savedNode\" \"s\"\n"),
          std::string("headlessScene 1\nunits \"film\"\nend\n"),
          std::string("headlessScene 1\nnode 0x7f200 \"savedNode\" \"s\"\nunits \"film\" \"cm\" "
                      "\"deg\"\nend\n"),
          std::string("headlessScene 1\nalias \"a\" \"level\"\nend\n"),
          std::string("headlessScene 1\nnode 0x7f200 \"savedNode\" \"s\"\nalias \"a\"\nend\n")}) {
        writeBytes(bad, broken);
        const auto opened = open(bad);
        ASSERT_FALSE(opened.ok) << broken;
        EXPECT_NE(opened.error.find(bad.string()), std::string::npos) << opened.error;
        ASSERT_EQ(headless::nodeNames(), names);
    }

    // Random damage: refused with the scene kept, or opened (with warnings); never a crash.
    unsigned int seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xffffffu; };
    for (int round = 0; round < 300; ++round) {
        std::string damaged = text;
        for (int flips = 0; flips < 3; ++flips)
            damaged[next() % damaged.size()] = static_cast<char>(next() & 0xff);
        writeBytes(bad, damaged);
        if (open(bad).ok) {
            names = baseline();
        } else {
            ASSERT_EQ(headless::nodeNames(), names) << "round " << round;
        }
    }
}

TEST_F(SceneFile, FailedSaveKeepsThePreviousFile) {
    hosttest::SavedNodePlugin plugin("savedNode");
    const fs::path path = folder_ / "kept.scene";
    const std::string before = savedRig(path);
    ASSERT_FALSE(before.empty());
    run("createNode transform -n more");

    // A file size limit makes the write itself fail half way.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto failed = save(path);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(failed.ok);
    EXPECT_NE(failed.error.find(path.string()), std::string::npos) << failed.error;
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()),
              1);  // no temporary left
    EXPECT_FALSE(save(folder_ / "missing" / "x.scene").ok);
}

TEST_F(SceneFile, RelativePathsAndTheSceneName) {
    const fs::path previous = fs::current_path();
    fs::current_path(folder_);
    run("createNode transform -n t; setAttr t.ty 2");
    const auto saved = execute("file -save \"relative.scene\"");
    fs::current_path(previous);
    ASSERT_TRUE(saved.ok) << saved.error;
    EXPECT_TRUE(fs::exists(folder_ / "relative.scene"));
    EXPECT_EQ(execute("file -q -sn").result, (folder_ / "relative.scene").string());
    run("setAttr t.ty 5; file -save");  // to the scene's own file
    run("file -new");
    EXPECT_EQ(execute("file -q -sn").result, "");
    EXPECT_FALSE(execute("file -save").ok);
    run("file -open \"" + (folder_ / "relative.scene").string() + "\"");
    EXPECT_EQ(value("t.ty"), "5");
    EXPECT_FALSE(execute("file -open").ok);
    EXPECT_FALSE(execute("file -new -save x").ok);
    EXPECT_FALSE(execute("file -open \"" + (folder_ / "absent.scene").string() + "\"").ok);
}

}  // namespace
