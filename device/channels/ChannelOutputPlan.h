#pragma once
// Which channels of a list get outputs on a node. A channel gets none, with a warning naming it,
// when one of its outputs (or, for a scalar, its "<name>_mlt" multiplier) would be a static
// attribute of the node (long or short name), the "multipliers" compound or one of its children
// that belongs to another channel, or an output or multiplier of another channel of the list:
// the multipliers of the list's scalars come first, then the outputs in list order (scalars,
// vectors, matrices), the earlier channel keeping its outputs. A name listed twice in one kind is
// one channel whose values are at its last position: only that position gets the outputs.
// A channel's own outputs from an earlier rebuild or a saved scene are no collision.

#include <array>
#include <vector>

#include <maya/MObject.h>

#include "transport/records/CaptureRecords.h"

struct ChannelOutputPlan {
    // Per kind and channel position: true when that position gets its outputs.
    std::array<std::vector<bool>, kChannelKindCount> given;
};

// Shows a warning for every channel left out. Main thread only.
ChannelOutputPlan planChannelOutputs(const MObject& node, const ChannelNameLists& names);
