#pragma once
// The dynamic per-channel outputs shared by the live device node and the clip reader: one double
// output per scalar channel (with a keyable "<name>_mlt" child under the compound "multipliers"),
// three per vector channel, six per matrix channel.

#include <array>
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include <maya/MDataBlock.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MString.h>

#include "device/channels/ChannelOutputRules.h"
#include "transport/records/CaptureRecords.h"

using VectorOutputGroup = std::array<MObject, kVectorComponents>;   // X, Y, Z
using MatrixOutputGroup = std::array<MObject, kMatrixOutputCount>;  // TranslateXYZ, RotateXYZ

// Where an attribute sits in a node's channel outputs.
struct ChannelOutputPosition {
    enum class Kind { none, scalar, vector, matrix };
    Kind kind = Kind::none;
    std::size_t group = 0;  // channel position
    std::size_t index = 0;  // component within the group (0 for scalars)
};

// Attribute handles of a node's channel outputs, by channel position (the position of the
// channel's values in the flat frame). The attributes themselves belong to the node. A channel
// left without outputs (see ChannelOutputPlan.h) keeps its position with null handles.
struct ChannelOutputs {
    std::vector<MObject> scalarOutputs;
    std::vector<VectorOutputGroup> vectorOutputs;
    std::vector<MatrixOutputGroup> matrixOutputs;
    std::vector<MObject> multiplierChildren;
    // The position of each output by its attribute's name (names are unique on a node), so that
    // compute finds an output in constant time at any channel count. Refilled by index().
    std::unordered_map<std::string, ChannelOutputPosition> positions;

    // S + 3V + 16M: the values of one flat frame for these outputs.
    std::size_t flatValueCount() const;
    // Refills `positions` from the lists, in the search order scalar, matrix, vector: where one
    // attribute serves in two lists, the first in that order is found.
    void index();
};

// The clip reader's scalar outputs are derived from the clip and need not be saved with the
// scene; the device node keeps the host's default.
enum class ScalarOutputStorage { storable, notStorable };

// Makes the names valid (validChannelNames, with a warning per change), leaves out the channels
// whose outputs would collide (planChannelOutputs), adds the outputs the others need (reusing an
// attribute that already exists by name: the channel's own output of an earlier rebuild),
// recreates "multipliers" with the previous children, their values other than 1.0 and their
// incoming connections, then the new channels' children, and refills `outputs`. Outputs of
// channels that are no longer listed stay on the node. Main thread only.
void rebuildChannelAttributes(MObject node, const ChannelNameLists& names, ChannelOutputs& outputs,
                              ScalarOutputStorage scalarStorage);

// Searched in the order scalar, matrix, vector.
ChannelOutputPosition findChannelOutput(const ChannelOutputs& outputs, const MObject& attribute);

// The multiplier of a scalar output: the value, read through the data block, of the node's plug
// named after the output plug's partial name plus "_mlt"; 1.0 when there is no such plug.
double scalarOutputMultiplier(const MObject& node, const MPlug& outputPlug, MDataBlock& data);
// multiplier x value.
double scalarOutputValue(const MObject& node, const MPlug& outputPlug, MDataBlock& data,
                         double value);

// True for a plug that is a child of a plug whose partial name is "multipliers".
bool isMultiplierChild(const MPlug& plug);

// Dirty rule: a dynamic child of "multipliers" named "<name>_mlt" affects the node's plug
// "<name>", when it exists.
void addMultiplierDependent(const MObject& node, const MPlug& plug, MPlugArray& affected);
