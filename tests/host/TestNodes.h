#pragma once
// Small node types for the host tests, registered in-process.

#include <vector>

#include <maya/MDGModifier.h>
#include <maya/MPxNode.h>
#include <maya/MPxObjectSet.h>
#include <maya/MTypeId.h>

#include <headless/Plugins.h>

#include "TestNode.h"

namespace hosttest {

// sum = a + b; counts its computes.
class Adder : public TestNode<Adder> {
  public:
    static MStatus initialize();
    MStatus compute(const MPlug& plug, MDataBlock& data) override;

    static MObject a, b, sum;
    static int computes;
};

// "trigger" dirties the dynamic output "extra" through setDependentsDirty; compute writes
// extra = 10 * trigger and leaves "kept" alone (kUnknownParameter).
class Trigger : public TestNode<Trigger> {
  public:
    static MStatus initialize();
    MStatus compute(const MPlug& plug, MDataBlock& data) override;
    MStatus setDependentsDirty(const MPlug& plug, MPlugArray& affected) override;

    static MObject trigger, kept;
};

// Accepts into "guarded" only the message of a transform; when "watched" loses its source it
// connects the lost source's node message into "fallback" by itself.
class Picky : public TestNode<Picky> {
  public:
    static MStatus initialize();
    MStatus legalConnection(const MPlug& plug, const MPlug& other, bool asSrc,
                            bool& isLegal) const override;
    MStatus connectionBroken(const MPlug& plug, const MPlug& other, bool asSrc) override;

    static MObject guarded, watched, fallback, sealed;
    static int broken;
};

// total = sum of "values" elements; the elements go when their connection breaks.
class Collector : public TestNode<Collector> {
  public:
    static MStatus initialize();
    MStatus compute(const MPlug& plug, MDataBlock& data) override;
    // Records how many elements "values" had when a connection into it broke.
    MStatus connectionBroken(const MPlug& plug, const MPlug& other, bool asSrc) override;

    static MObject values, total;
    static std::vector<unsigned int> elementsWhenBroken;
};

// An object set that may go when emptied; KeepSet never does.
class LooseSet : public TestNode<LooseSet, MPxObjectSet> {
  public:
    static MStatus initialize() { return MStatus::kSuccess; }
};

class KeepSet : public TestNode<KeepSet, MPxObjectSet> {
  public:
    static MStatus initialize() { return MStatus::kSuccess; }
    bool canBeDeleted(bool isSrcNode) override {
        asked.push_back(isSrcNode);
        return isSrcNode;
    }
    static std::vector<bool> asked;
};

// Registers every test type in an in-process plug-in for the lifetime of the object.
class TestNodesPlugin {
  public:
    TestNodesPlugin();

  private:
    headless::InProcessPlugin plugin_{"hostTestNodes"};
};

}  // namespace hosttest
