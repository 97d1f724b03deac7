// A plug-in library for the load and unload tests: one node type and one command.

#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MPxCommand.h>
#include <maya/MPxNode.h>

#include "TestNode.h"

namespace {

class Counter : public hosttest::TestNode<Counter> {
  public:
    static MStatus initialize() {
        MFnNumericAttribute fn;
        count = fn.create("count", "cn", MFnNumericData::kInt, 7);
        return addAttribute(count);
    }
    static MObject count;
};

MObject Counter::count;

class Echo : public MPxCommand {
  public:
    static void* creator() { return new Echo; }
    MStatus doIt(const MArgList& args) override {
        if (args.length() != 1) return MStatus::kFailure;
        setResult(args.asString(0));
        return MStatus::kSuccess;
    }
};

}  // namespace

PLUGIN_EXPORT MStatus initializePlugin(MObject obj) {
    MFnPlugin plugin(obj, "Tests", "1.0", "Any");
    Counter::registerIn(plugin, "testCounter", 0x7f101);
    plugin.registerCommand("testEcho", &Echo::creator);
    return MStatus::kSuccess;
}

PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj) {
    MFnPlugin plugin(obj);
    plugin.deregisterNode(MTypeId(0x7f101));
    plugin.deregisterCommand("testEcho");
    return MStatus::kSuccess;
}
