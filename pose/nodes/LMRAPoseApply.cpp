#include "pose/nodes/LMRAPoseApply.h"

#include "plugin/messages/AttributeCreation.h"
#include "plugin/messages/StatusChecks.h"

#include <maya/MArrayDataHandle.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MPlug.h>

#include "plugin/messages/PluginMessages.h"

const MString LMRAPoseApply::kTypeName("LMRAPoseApply");
const MTypeId LMRAPoseApply::kTypeId(0x130683);

MObject LMRAPoseApply::rest;
MObject LMRAPoseApply::weight;
MObject LMRAPoseApply::values;
MObject LMRAPoseApply::output;

MStatus LMRAPoseApply::initialize() {
    LMRA_CHECK(lmra::createNumeric(rest, "rest", MFnNumericData::kDouble, 0.0));

    MFnNumericAttribute weightFn;
    LMRA_CHECK(lmra::createNumeric(weightFn, weight, "weight", MFnNumericData::kDouble, 1.0));
    LMRA_CHECK(weightFn.setKeyable(true));

    // Offsets live only as long as their connections: a broken one takes its element with it,
    // and the connections, not the values, are what a saved scene keeps.
    MFnNumericAttribute valuesFn;
    LMRA_CHECK(lmra::createNumeric(valuesFn, values, "values", MFnNumericData::kDouble, 0.0));
    LMRA_CHECK(valuesFn.setArray(true));
    LMRA_CHECK(valuesFn.setReadable(false));
    LMRA_CHECK(valuesFn.setStorable(false));
    LMRA_CHECK(valuesFn.setIndexMatters(false));
    LMRA_CHECK(valuesFn.setDisconnectBehavior(MFnAttribute::kDelete));

    MFnNumericAttribute outputFn;
    LMRA_CHECK(lmra::createNumericOutput(outputFn, output, "output", MFnNumericData::kDouble, 0.0));

    LMRA_CHECK(addAttribute(rest));
    LMRA_CHECK(addAttribute(weight));
    LMRA_CHECK(addAttribute(values));
    LMRA_CHECK(addAttribute(output));
    LMRA_CHECK(attributeAffects(rest, output));
    LMRA_CHECK(attributeAffects(weight, output));
    LMRA_CHECK(attributeAffects(values, output));
    return MS::kSuccess;
}

MStatus LMRAPoseApply::compute(const MPlug& plug, MDataBlock& data) {
    const QueuedMessagesShown shownMessages;  // what the plug-in's threads posted
    if (!(plug == output)) return MS::kUnknownParameter;

    const double weightValue = data.inputValue(weight).asDouble();
    const double restValue = data.inputValue(rest).asDouble();

    double sum = 0.0;
    MArrayDataHandle offsets = data.inputArrayValue(values);
    const unsigned int count = offsets.elementCount();
    for (unsigned int i = 0; i < count; ++i, offsets.next()) {
        sum += offsets.inputValue().asDouble();
    }

    data.outputValue(output).setDouble(sum * weightValue + restValue);
    data.setClean(plug);
    return MS::kSuccess;
}

bool LMRAPoseApply::isPassiveOutput(const MPlug& plug) const {
    if (plug == output) return true;
    return MPxNode::isPassiveOutput(plug);
}
