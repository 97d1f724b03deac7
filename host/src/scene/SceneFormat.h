#pragma once
// The scene file text: a header line, then one record per line.
//
//   headlessScene 1
//   node 0x130684 "LMRAPose" "p"            a node: type id, type name, node name
//   defaultNode 0x54494d45 "time" "time1"   a default node of every scene, found by name
//   attribute "" "extra" "ex" numeric double readable 1 ... default number 0
//   element "attrs[3]"                      an array element that exists
//   value "attrs[1].rest" number 2          a stored value
//   connect "p" "message" "lib" "dnSetMembers[0]"
//   end
//
// attribute, element and value lines belong to the node above them. The closing "end" tells a
// complete file from a truncated one.

#include <string>

#include "scene/SceneDocument.h"

namespace headless::detail {

std::string formatScene(const SceneDocument& document);
// False with "line N: reason" when the text is not a complete, well-formed scene.
bool parseScene(const std::string& text, SceneDocument& document, std::string* error);

}  // namespace headless::detail
