#pragma once
// The registered node types and commands, and the node type whose initializer is running
// (MPxNode::addAttribute and attributeAffects add to it).

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <maya/MStatus.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

#include "core/NodeType.h"

namespace headless::detail {

struct CommandType {
    std::string name;
    MCreatorFunction creator = nullptr;
    std::string pluginName;
};

class Registry {
  public:
    static Registry& instance();

    // Adds the inherited attributes of the type's kind, runs its initializer and keeps it.
    MStatus registerNodeType(std::shared_ptr<NodeType> type, std::string* error);
    MStatus deregisterNodeType(MTypeId id, const std::string& pluginName, std::string* error);
    std::shared_ptr<NodeType> findType(const std::string& name) const;
    std::shared_ptr<NodeType> findType(MTypeId id) const;
    std::vector<std::shared_ptr<NodeType>> types() const { return types_; }

    MStatus registerCommand(CommandType command, std::string* error);
    MStatus deregisterCommand(const std::string& name, const std::string& pluginName,
                              std::string* error);
    const CommandType* findCommand(const std::string& name) const;
    std::vector<CommandType> commands() const { return commands_; }

    NodeType* initializing() const { return initializing_; }

  private:
    Registry();

    std::vector<std::shared_ptr<NodeType>> types_;
    std::vector<CommandType> commands_;
    NodeType* initializing_ = nullptr;
    bool builtinsRegistered_ = false;
};

// The attribute behind a pointer of an attribute tree (attributes are always shared-owned).
std::shared_ptr<Attribute> sharedAttribute(const Attribute* attribute);
// Adds a root attribute to a static list unless a name of its tree is taken.
MStatus addStaticAttribute(NodeType& type, const std::shared_ptr<Attribute>& attribute);

}  // namespace headless::detail
