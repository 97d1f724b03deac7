#pragma once
// A node type for the scene file tests, registered in-process under a name of the test's
// choosing (the type is found again by its id).

#include <string>

#include <maya/MPxNode.h>
#include <maya/MTypeId.h>

#include <headless/Plugins.h>

#include "TestNode.h"

namespace hosttest {

// "level" (default 1), "label" (string, default "none"), "scratch" (not storable), "secret"
// (storable, but shouldSave says no), "slots" (array, shouldSave writes every element) and
// "spare" (array, the host's rule), "input" (legalConnection refuses it while
// refuseConnections is set). postConstructor adds the dynamic "note" (default 5) when the
// node has none yet.
class SavedNode : public TestNode<SavedNode> {
  public:
    static constexpr unsigned int kId = 0x7f200;
    static MStatus initialize();
    void postConstructor() override;
    MStatus shouldSave(const MPlug& plug, bool& isSaving) override;
    MStatus legalConnection(const MPlug& plug, const MPlug& other, bool asSrc,
                            bool& isLegal) const override;
    MStatus connectionMade(const MPlug& plug, const MPlug& other, bool asSrc) override;

    static MObject level, label, scratch, secret, slots, spare, input;
    static bool refuseConnections;
    static int connectionsMade;
};

// Registers SavedNode under `typeName` for the lifetime of the object.
class SavedNodePlugin {
  public:
    explicit SavedNodePlugin(const std::string& typeName);

  private:
    headless::InProcessPlugin plugin_{"hostSceneFileNodes"};
};

}  // namespace hosttest
