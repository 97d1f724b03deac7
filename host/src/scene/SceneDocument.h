#pragma once
// A scene file's content in memory: what the writer captures from the scene and the reader
// parses from text, before anything is built.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/Attribute.h"
#include "core/Value.h"

namespace headless::detail {

// A plug within its node, as "root[2].child": long names from the root attribute down, each
// array attribute followed by its logical index (the last one may lack it: the array plug).
struct PlugValueRecord {
    std::string path;
    Value value;
};

struct NodeRecord {
    unsigned int typeId = 0;
    std::string typeName;  // for messages only; the type is found again by its id
    std::string name;
    // A default node of every scene (time1) is found by name instead of created.
    bool isDefault = false;
    // Roots of the dynamic attributes, children linked below them.
    std::vector<std::shared_ptr<Attribute>> dynamicAttributes;
    // Array elements that exist even without a stored value.
    std::vector<std::string> elements;
    std::vector<PlugValueRecord> values;
    // aliasAttr's names: alias, then the attribute or element it names ("weight[2]").
    std::vector<std::pair<std::string, std::string>> aliases;
};

struct ConnectionRecord {
    std::string sourceNode;
    std::string sourcePath;
    std::string destinationNode;
    std::string destinationPath;
};

struct SceneDocument {
    // The scene's units by name ("film", "cm", "deg"); empty in a file that names none.
    std::string timeUnit, linearUnit, angleUnit;
    std::vector<NodeRecord> nodes;
    std::vector<ConnectionRecord> connections;
};

}  // namespace headless::detail
