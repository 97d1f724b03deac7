#pragma once
// Channel name lists for tests: scalars, then vectors and matrices when given.

#include <string>
#include <utility>
#include <vector>

#include "transport/records/CaptureRecords.h"

inline ChannelNameLists channelNames(std::vector<std::string> scalars,
                                     std::vector<std::string> vectors = {},
                                     std::vector<std::string> matrices = {}) {
    ChannelNameLists names;
    names.scalars() = std::move(scalars);
    names.vectors() = std::move(vectors);
    names.matrices() = std::move(matrices);
    return names;
}
