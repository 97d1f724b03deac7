// Built-in commands on connections and set membership: connectAttr, disconnectAttr,
// isConnected (-ignoreUnitConversion looks through conversion nodes), sets.

#include <maya/MPxObjectSet.h>

#include "core/Plugs.h"
#include "core/Scene.h"
#include "script/Arguments.h"
#include "script/Interpreter.h"
#include "script/PlugNames.h"

namespace headless::detail {

namespace {

bool resolvePair(const Arguments& a, const std::string& command, MPlug& source, MPlug& destination,
                 std::string* error) {
    if (a.positional().size() != 2) {
        *error = command + ": give a source plug and a destination plug.";
        return false;
    }
    source = resolvePlug(a.positional()[0], error);
    if (source.isNull()) return false;
    destination = resolvePlug(a.positional()[1], error);
    return !destination.isNull();
}

MStatus connectAttr(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(args, {}, {"f|force", "na|nextAvailable"}, error))
        return MStatus::kInvalidParameter;
    MPlug source, destination;
    if (!resolvePair(a, "connectAttr", source, destination, error))
        return MStatus::kInvalidParameter;
    const MStatus status =
        Scene::instance().connect(source, destination, a.has("f"), a.has("na"), error);
    if (status)
        result.setString("Connected " + a.positional()[0] + " to " + a.positional()[1] + ".");
    return status;
}

MStatus disconnectAttr(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(args, {}, {}, error)) return MStatus::kInvalidParameter;
    MPlug source, destination;
    if (!resolvePair(a, "disconnectAttr", source, destination, error))
        return MStatus::kInvalidParameter;
    const MStatus status = Scene::instance().disconnect(source, destination, error);
    if (status)
        result.setString("Disconnect " + a.positional()[0] + " from " + a.positional()[1] + ".");
    return status;
}

MStatus isConnected(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(args, {}, {"iuc|ignoreUnitConversion"}, error)) return MStatus::kInvalidParameter;
    MPlug source, destination;
    if (!resolvePair(a, "isConnected", source, destination, error))
        return MStatus::kInvalidParameter;
    bool connected = a.has("iuc") && Scene::instance().conversionBetween(source, destination);
    for (const auto& c : Scene::instance().connections()) {
        connected = connected || (c.source == source && c.destination == destination);
    }
    result.setBool(connected);
    return MStatus::kSuccess;
}

// A DAG node joins a set through its first instance group, any other node through "message".
MPlug memberPlug(const std::shared_ptr<Node>& node) {
    if (node->type->dag) {
        if (const auto groups = node->findAttribute("instObjGroups"))
            return makePlug(node, groups, {0});
    }
    return makePlug(node, hostCast<Attribute>(MPxNode::message), {});
}

MPlug memberArray(const std::shared_ptr<Node>& set, bool dag) {
    return makePlug(
        set, hostCast<Attribute>(dag ? MPxObjectSet::dagSetMembers : MPxObjectSet::DNSetMembers),
        {});
}

// The connection that makes the node a member of the set, if any.
const Connection* membership(const std::shared_ptr<Node>& set, const std::shared_ptr<Node>& node) {
    const MPlug member = memberPlug(node);
    const MPlug array = memberArray(set, node->type->dag);
    for (const auto& c : Scene::instance().connections()) {
        if (c.source == member && plugWithin(c.destination, array)) return &c;
    }
    return nullptr;
}

MStatus sets(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(args, {"add|addElement", "rm|remove", "im|isMember"}, {}, error))
        return MStatus::kInvalidParameter;
    const std::string flag = a.has("add") ? "add" : a.has("rm") ? "rm" : a.has("im") ? "im" : "";
    if (flag.empty()) {
        *error = "sets: use -add, -remove or -isMember with the set's name.";
        return MStatus::kInvalidParameter;
    }
    const auto set = Scene::instance().findNode(a.value(flag));
    if (!set || set->type->kind != MPxNode::kObjectSet) {
        *error = "sets: '" + a.value(flag) + "' is not an object set.";
        return MStatus::kInvalidParameter;
    }
    if (a.positional().empty()) {
        *error = "sets: name the members.";
        return MStatus::kInvalidParameter;
    }
    bool allMembers = true;
    for (const auto& name : a.positional()) {
        const auto node = Scene::instance().findNode(name);
        if (!node) {
            *error = "No object matches name: " + name;
            return MStatus::kInvalidParameter;
        }
        const Connection* existing = membership(set, node);
        if (flag == "im") {
            allMembers = allMembers && existing;
        } else if (flag == "add" && !existing) {
            const MStatus status = Scene::instance().connect(
                memberPlug(node), memberArray(set, node->type->dag), false, true, error);
            if (!status) return status;
        } else if (flag == "rm" && existing) {
            const Connection gone = *existing;
            if (const MStatus status =
                    Scene::instance().disconnect(gone.source, gone.destination, error);
                !status) {
                return status;
            }
        }
    }
    if (flag == "im") result.setBool(allMembers);
    return MStatus::kSuccess;
}

}  // namespace

void registerConnectionCommands() {
    registerBuiltin("connectAttr", connectAttr);
    registerBuiltin("disconnectAttr", disconnectAttr);
    registerBuiltin("isConnected", isConnected);
    registerBuiltin("sets", sets);
}

}  // namespace headless::detail
