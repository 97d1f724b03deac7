#include "core/Registry.h"

#include <algorithm>

#include <maya/MPxObjectSet.h>
#include <maya/MPxThreadedDeviceNode.h>

#include "builtin/BuiltinTypes.h"

namespace headless::detail {

namespace {

std::shared_ptr<Attribute> attributeOf(const MObject& object) {
    return hostCast<Attribute>(object);
}

void collectNames(const Attribute& attribute, std::vector<std::string>& names) {
    names.push_back(attribute.longName);
    names.push_back(attribute.shortName);
    for (const auto& child : attribute.children) collectNames(*child, names);
}

bool nameTaken(const std::vector<std::shared_ptr<Attribute>>& roots, const Attribute& candidate) {
    std::vector<std::string> names;
    collectNames(candidate, names);
    for (const auto& root : roots) {
        for (const auto& name : names) {
            if (root->findInTree(name)) return true;
        }
    }
    return false;
}

std::vector<MObject> inheritedAttributes(MPxNode::Type kind) {
    std::vector<MObject> list{MPxNode::message, MPxNode::caching,
                              MPxNode::isHistoricallyInteresting, MPxNode::state, MPxNode::frozen};
    if (kind == MPxNode::kObjectSet) {
        for (const MObject* a : {&MPxObjectSet::dagSetMembers, &MPxObjectSet::DNSetMembers,
                                 &MPxObjectSet::memberWireframeColor, &MPxObjectSet::annotation,
                                 &MPxObjectSet::isLayer, &MPxObjectSet::partition,
                                 &MPxObjectSet::groupNodes, &MPxObjectSet::usedByNodes}) {
            list.push_back(*a);
        }
    }
    if (kind == MPxNode::kThreadedDeviceNode) {
        list.push_back(MPxThreadedDeviceNode::live);
        list.push_back(MPxThreadedDeviceNode::frameRate);
        list.push_back(MPxThreadedDeviceNode::output);
    }
    return list;
}

MFn::Type pluginApiType(MPxNode::Type kind) {
    switch (kind) {
        case MPxNode::kObjectSet:
            return MFn::kPluginObjectSet;
        case MPxNode::kThreadedDeviceNode:
            return MFn::kPluginThreadedDevice;
        default:
            return MFn::kPluginDependNode;
    }
}

// Attributes added as roots and later made children of a compound are not roots.
void dropAdoptedRoots(NodeType& type) {
    auto& list = type.attributes;
    list.erase(std::remove_if(list.begin(), list.end(),
                              [](const auto& a) { return a->parentAttribute() != nullptr; }),
               list.end());
}

}  // namespace

std::shared_ptr<Attribute> sharedAttribute(const Attribute* attribute) {
    if (!attribute) return nullptr;
    return std::static_pointer_cast<Attribute>(
        std::const_pointer_cast<HostObject>(attribute->shared_from_this()));
}

MStatus addStaticAttribute(NodeType& type, const std::shared_ptr<Attribute>& attribute) {
    if (attribute->parentAttribute()) return MStatus::kSuccess;  // it comes with its compound
    if (type.ownsTopLevel(*attribute)) return MStatus::kFailure;
    dropAdoptedRoots(type);
    if (nameTaken(type.attributes, *attribute)) return MStatus::kFailure;
    attribute->inUse = true;
    type.attributes.push_back(attribute);
    return MStatus::kSuccess;
}

Registry& Registry::instance() {
    static Registry registry;
    // The built-in types' initializers call back into the registry, so they are registered
    // once it exists.
    if (!registry.builtinsRegistered_) {
        registry.builtinsRegistered_ = true;
        for (auto& type : builtinNodeTypes()) {
            std::string ignored;
            registry.registerNodeType(type, &ignored);
        }
    }
    return registry;
}

Registry::Registry() = default;

MStatus Registry::registerNodeType(std::shared_ptr<NodeType> type, std::string* error) {
    if (type->name.empty() || findType(type->name)) {
        *error = "Node type \"" + type->name + "\" is already registered.";
        return MStatus::kFailure;
    }
    if (findType(type->id)) {
        *error = "Node type id " + std::to_string(type->id.id()) + " of \"" + type->name +
                 "\" is already in use.";
        return MStatus::kFailure;
    }
    if (!type->pluginName.empty()) type->apiType = pluginApiType(type->kind);
    std::vector<std::shared_ptr<Attribute>> own = std::move(type->attributes);
    type->attributes.clear();
    for (const MObject& inherited : inheritedAttributes(type->kind))
        type->attributes.push_back(attributeOf(inherited));
    for (const auto& attribute : own) addStaticAttribute(*type, attribute);
    if (type->initializer) {
        initializing_ = type.get();
        const MStatus status = type->initializer();
        initializing_ = nullptr;
        dropAdoptedRoots(*type);
        if (!status) {
            *error = "Failed to initialize node type \"" + type->name + "\".";
            return status;
        }
    }
    types_.push_back(std::move(type));
    return MStatus::kSuccess;
}

MStatus Registry::deregisterNodeType(MTypeId id, const std::string& pluginName,
                                     std::string* error) {
    const auto at = std::find_if(types_.begin(), types_.end(), [&](const auto& t) {
        return t->id == id && t->pluginName == pluginName;
    });
    if (at == types_.end()) {
        *error =
            "No node type with id " + std::to_string(id.id()) + " is registered by this plug-in.";
        return MStatus::kFailure;
    }
    types_.erase(at);
    return MStatus::kSuccess;
}

std::shared_ptr<NodeType> Registry::findType(const std::string& name) const {
    for (const auto& type : types_) {
        if (type->name == name) return type;
    }
    return nullptr;
}

std::shared_ptr<NodeType> Registry::findType(MTypeId id) const {
    for (const auto& type : types_) {
        if (type->id == id) return type;
    }
    return nullptr;
}

MStatus Registry::registerCommand(CommandType command, std::string* error) {
    if (command.name.empty() || !command.creator || findCommand(command.name)) {
        *error = "Command \"" + command.name + "\" is already registered.";
        return MStatus::kFailure;
    }
    commands_.push_back(std::move(command));
    return MStatus::kSuccess;
}

MStatus Registry::deregisterCommand(const std::string& name, const std::string& pluginName,
                                    std::string* error) {
    const auto at = std::find_if(commands_.begin(), commands_.end(), [&](const auto& c) {
        return c.name == name && c.pluginName == pluginName;
    });
    if (at == commands_.end()) {
        *error = "Command \"" + name + "\" is not registered by this plug-in.";
        return MStatus::kFailure;
    }
    commands_.erase(at);
    return MStatus::kSuccess;
}

const CommandType* Registry::findCommand(const std::string& name) const {
    for (const auto& command : commands_) {
        if (command.name == name) return &command;
    }
    return nullptr;
}

}  // namespace headless::detail
