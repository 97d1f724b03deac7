#pragma once
// A stand-in for Maya's "blendShape" deformer, so that rigs and mappings onto it can be built
// and tested: "envelope" and the array "weight" (one element per target, named by aliasAttr),
// with Maya's names and layout. It deforms nothing.

#include <memory>

#include "core/NodeType.h"

namespace headless::detail {

std::shared_ptr<NodeType> blendShapeType();

}  // namespace headless::detail
