#pragma once
// The active selection that select sets and ls -selection, delete and the like read. Main thread
// only.

#include <memory>
#include <vector>

#include "core/Node.h"

namespace headless::detail {

// The selected nodes that still exist, in the order they were selected.
std::vector<std::shared_ptr<Node>> selectedNodes();

}  // namespace headless::detail
