#pragma once
// The node types every scene has without a plug-in: transform and time.

#include <memory>
#include <vector>

#include "core/NodeType.h"

namespace headless::detail {

std::vector<std::shared_ptr<NodeType>> builtinNodeTypes();

}  // namespace headless::detail
