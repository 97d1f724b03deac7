#pragma once
// Plug paths within a node as scene files write them: "attrs[3].rest", long names from the
// root attribute down, each array attribute followed by its logical index.

#include <memory>
#include <string>
#include <vector>

#include <maya/MPlug.h>

#include "core/Attribute.h"

namespace headless::detail {

std::string formatPlugPath(const MPlug& plug);

struct ResolvedPath {
    std::shared_ptr<Attribute> attribute;
    std::vector<unsigned int> indices;
};

// Finds the path among the root attributes (names long or short). Every array on the path
// needs its index, except a last one (the array plug itself).
bool resolvePlugPath(const std::vector<std::shared_ptr<Attribute>>& roots, const std::string& path,
                     ResolvedPath& resolved, std::string* error);

}  // namespace headless::detail
