#pragma once
// A registered node type: name, id, kind, creator and its static attributes (inherited ones
// first) with their declared dependencies.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <maya/MFn.h>
#include <maya/MPxNode.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

#include "core/Attribute.h"

namespace headless::detail {

class NodeType {
  public:
    std::string name;
    MTypeId id;
    MPxNode::Type kind = MPxNode::kDependNode;
    MFn::Type apiType = MFn::kPluginDependNode;
    bool dag = false;
    MCreatorFunction creator = nullptr;
    MInitializeFunction initializer = nullptr;
    // Empty for the host's own types.
    std::string pluginName;
    std::vector<std::shared_ptr<Attribute>> attributes;
    // whenChanges -> isAffected, declared with attributeAffects.
    std::multimap<const Attribute*, std::shared_ptr<Attribute>> affects;
    // An input that follows the scene's time while nothing drives it (animation curves): a
    // change of time dirties it as if time1.outTime were connected to it.
    std::string followsSceneTime;

    bool ownsTopLevel(const Attribute& attribute) const {
        for (const auto& a : attributes) {
            if (a.get() == &attribute) return true;
        }
        return false;
    }
};

}  // namespace headless::detail
