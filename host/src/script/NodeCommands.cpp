// Built-in commands on nodes: createNode, delete, flushUndo, rename, objExists, nodeType.

#include "core/Scene.h"
#include "script/Arguments.h"
#include "script/Interpreter.h"
#include "script/PlugNames.h"
#include "script/Selection.h"

namespace headless::detail {

namespace {

MStatus createNode(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(args, {"n|name"}, {"ss|skipSelect"}, error)) return MStatus::kInvalidParameter;
    if (a.positional().size() != 1) {
        *error = "createNode: give exactly one node type.";
        return MStatus::kInvalidParameter;
    }
    std::shared_ptr<Node> node;
    const MStatus status =
        Scene::instance().createNode(a.positional()[0], a.value("n"), &node, error);
    if (status) result.setString(node->name);
    return status;
}

MStatus deleteNodes(const std::vector<Word>& args, ResultValue&, std::string* error) {
    Arguments a;
    if (!a.parse(args, {}, {}, error)) return MStatus::kInvalidParameter;
    // Without names, as in Maya, what is selected.
    std::vector<std::string> names = a.positional();
    if (names.empty()) {
        for (const auto& node : selectedNodes()) names.push_back(node->name);
    }
    if (names.empty()) {
        *error = "delete: name the nodes to delete, or select them.";
        return MStatus::kInvalidParameter;
    }
    for (const auto& name : names) {
        if (!Scene::instance().findNode(name)) {
            *error = "No object matches name: " + name;
            return MStatus::kInvalidParameter;
        }
    }
    for (const auto& name : names) {
        // An earlier deletion may have taken this node along (an emptied set).
        const auto node = Scene::instance().findNode(name);
        if (!node) continue;
        if (const MStatus status = Scene::instance().deleteNode(node, error); !status)
            return status;
    }
    return MStatus::kSuccess;
}

// Destroys what delete left on the undo queue. The host keeps no undo history, so there is
// nothing else to flush.
MStatus flushUndo(const std::vector<Word>& args, ResultValue&, std::string* error) {
    if (!args.empty()) {
        *error = "flushUndo: takes no arguments.";
        return MStatus::kInvalidParameter;
    }
    Scene::instance().flushUndo();
    return MStatus::kSuccess;
}

MStatus rename(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(args, {}, {}, error)) return MStatus::kInvalidParameter;
    if (a.positional().size() != 2) {
        *error = "rename: give the node and its new name.";
        return MStatus::kInvalidParameter;
    }
    const auto node = Scene::instance().findNode(a.positional()[0]);
    if (!node) {
        *error = "No object matches name: " + a.positional()[0];
        return MStatus::kInvalidParameter;
    }
    const MStatus status = Scene::instance().renameNode(*node, a.positional()[1], error);
    if (status) result.setString(node->name);
    return status;
}

MStatus objExists(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    if (args.size() != 1) {
        *error = "objExists: give one name.";
        return MStatus::kInvalidParameter;
    }
    // A node, or a plug of one ("node.attribute").
    std::string ignored;
    const std::string& name = args[0].text;
    result.setBool(Scene::instance().findNode(name) != nullptr ||
                   (name.find('.') != std::string::npos && !resolvePlug(name, &ignored).isNull()));
    return MStatus::kSuccess;
}

MStatus nodeType(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    const auto node = args.size() == 1 ? Scene::instance().findNode(args[0].text) : nullptr;
    if (!node) {
        *error = args.size() == 1 ? "No object matches name: " + args[0].text
                                  : "nodeType: give one node.";
        return MStatus::kInvalidParameter;
    }
    result.setString(node->type->name);
    return MStatus::kSuccess;
}

}  // namespace

void registerNodeCommands() {
    registerBuiltin("createNode", createNode);
    registerBuiltin("delete", deleteNodes);
    registerBuiltin("flushUndo", flushUndo);
    registerBuiltin("rename", rename);
    registerBuiltin("objExists", objExists);
    registerBuiltin("nodeType", nodeType);
}

}  // namespace headless::detail
