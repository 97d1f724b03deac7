#include "SceneFileNodes.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MFnStringData.h>
#include <maya/MFnTypedAttribute.h>

namespace hosttest {

MObject SavedNode::level, SavedNode::label, SavedNode::scratch, SavedNode::secret, SavedNode::slots,
    SavedNode::spare, SavedNode::input;
bool SavedNode::refuseConnections = false;
int SavedNode::connectionsMade = 0;

MStatus SavedNode::initialize() {
    level = doubleAttribute("level", "level", 0, 1.0);
    scratch = doubleAttribute("scratch", "scratch", kNotStored);
    secret = doubleAttribute("secret", "secret");
    slots = doubleAttribute("slots", "slots", kArray);
    spare = doubleAttribute("spare", "spare", kArray);
    input = doubleAttribute("input", "input");
    MFnTypedAttribute typed;
    label = typed.create("label", "lb", MFnData::kString, MFnStringData().create("none"));
    return addAttributes({&level, &label, &scratch, &secret, &slots, &spare, &input});
}

void SavedNode::postConstructor() {
    MFnDependencyNode node(thisMObject());
    if (node.hasAttribute("note")) return;
    MFnNumericAttribute fn;
    node.addAttribute(fn.create("note", "nt", MFnNumericData::kDouble, 5.0));
}

MStatus SavedNode::shouldSave(const MPlug& plug, bool& isSaving) {
    if (plug == slots || plug == secret) {
        isSaving = plug == slots;
        return MStatus::kSuccess;
    }
    return MPxNode::shouldSave(plug, isSaving);
}

MStatus SavedNode::legalConnection(const MPlug& plug, const MPlug&, bool, bool& isLegal) const {
    if (plug != input) return MStatus::kUnknownParameter;
    isLegal = !refuseConnections;
    return MStatus::kSuccess;
}

MStatus SavedNode::connectionMade(const MPlug& plug, const MPlug& other, bool asSrc) {
    if (plug == input) ++connectionsMade;
    return MPxNode::connectionMade(plug, other, asSrc);
}

SavedNodePlugin::SavedNodePlugin(const std::string& typeName) {
    MFnPlugin fn(plugin_.object(), "Tests", "1.0");
    SavedNode::registerIn(fn, typeName.c_str(), SavedNode::kId);
}

}  // namespace hosttest
