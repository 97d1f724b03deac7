#pragma once
// The one rule that makes the phone's channel names fit everywhere they go: Maya attribute names
// (the node outputs and their "_mlt" multipliers) and the clip format's tokens (the recording and
// the takes). A valid name is made of ASCII letters, digits and "_", does not begin with a digit
// and is at most kMaxChannelNameLength bytes long; every such name is kept as it is.

#include <cstddef>
#include <string>
#include <vector>

#include "transport/records/CaptureRecords.h"

constexpr std::size_t kMaxChannelNameLength = 1000;

struct ChannelRenaming {
    ChannelKind kind = ChannelKind::scalar;
    std::string from;
    std::string to;
};

// Every byte outside [A-Za-z0-9_] becomes "_", a name that is empty or begins with a digit gets
// a leading "_", a longer name is cut. Where two different names of one kind would then be equal,
// or equal to a name of that kind that needed no change, the later one gets the first free suffix
// "_2", "_3", ... A name listed twice stays listed twice (it is one channel). The changes made,
// one per distinct name, are appended to renamings when it is given.
ChannelNameLists validChannelNames(const ChannelNameLists& names,
                                   std::vector<ChannelRenaming>* renamings = nullptr);
