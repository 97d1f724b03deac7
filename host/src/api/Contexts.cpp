#include <maya/MDGContext.h>
#include <maya/MEvaluationNode.h>

#include "core/Evaluation.h"
#include "core/Scene.h"

MDGContext MDGContext::fsNormal;

bool MDGContext::isNormal(MStatus* returnStatus) const {
    if (returnStatus) *returnStatus = MStatus::kSuccess;
    return normal_;
}

MStatus MDGContext::getTime(MTime& when) const {
    if (normal_) {
        // The normal context evaluates at the current time, which the time node holds.
        using namespace headless::detail;
        double seconds = 0.0;
        if (const auto time = Scene::instance().findNode("time1")) {
            if (const auto outTime = time->findAttribute("outTime")) {
                seconds = asNumber(evaluatePlug(makePlug(time, outTime, {})));
            }
        }
        when = MTime(seconds, MTime::kSeconds);
        when.setUnit(MTime::uiUnit());
        return MStatus::kSuccess;
    }
    when = time_;
    return MStatus::kSuccess;
}

bool MEvaluationNode::dirtyPlugExists(const MObject& attribute, MStatus* returnStatus) const {
    if (returnStatus) *returnStatus = MStatus::kSuccess;
    for (const auto& plug : dirtyPlugs_) {
        if (plug == attribute) return true;
    }
    return false;
}

MPlug MEvaluationNode::dirtyPlug(const MObject& attribute, MStatus* returnStatus) const {
    for (const auto& plug : dirtyPlugs_) {
        if (plug == attribute) {
            if (returnStatus) *returnStatus = MStatus::kSuccess;
            return plug;
        }
    }
    if (returnStatus) *returnStatus = MStatus::kNotFound;
    return MPlug();
}

MObject MEvaluationNode::dependencyNode(MStatus* returnStatus) const {
    if (returnStatus) *returnStatus = node_.isNull() ? MStatus::kFailure : MStatus::kSuccess;
    return node_;
}
