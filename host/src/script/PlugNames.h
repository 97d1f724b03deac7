#pragma once
// Plug names as scripts write them: "node.attribute", "node.array[3].child", where each
// attribute may be given by its long or short name, and a child may be named alone
// ("t1.translateX" as well as "t1.translate.translateX").

#include <string>

#include <maya/MPlug.h>

namespace headless::detail {

// The plug, or a null plug with a message.
MPlug resolvePlug(const std::string& name, std::string* error);

}  // namespace headless::detail
