#include <maya/MDGModifier.h>
#include "core/ThreadCheck.h"

#include "core/Evaluation.h"
#include "core/Plugs.h"
#include "core/Scene.h"

#include <functional>

using namespace headless::detail;

namespace {

MPlug plugOf(const MObject& node, const MObject& attribute) {
    return MPlug(node, attribute);
}

MStatus connectPlugs(const MPlug& source, const MPlug& destination) {
    std::string error;
    return Scene::instance().connect(source, destination, false, false, &error);
}

MStatus disconnectPlugs(const MPlug& source, const MPlug& destination) {
    std::string error;
    return Scene::instance().disconnect(source, destination, &error);
}

using PlugEdit = MStatus (*)(const MPlug&, const MPlug&);

// Queues `redo` of the two plugs with `undo` as its undo: connect and disconnect are each other's
// undo.
template <typename Edits>
MStatus queuePlugEdit(Edits& queue, const MPlug& source, const MPlug& destination, PlugEdit redo,
                      PlugEdit undo) {
    if (source.isNull() || destination.isNull()) return MStatus::kInvalidParameter;
    queue.push_back(
        {[=] { return redo(source, destination); }, [=] { return undo(source, destination); }});
    return MStatus::kSuccess;
}

using AttributeEdit = MStatus (Scene::*)(Node&, const std::shared_ptr<Attribute>&, std::string*);

// Queues `redo` of a dynamic attribute of a node, with `undo`, when there is one, as its undo.
template <typename Edits>
MStatus queueAttributeEdit(Edits& queue, const MObject& node, const MObject& attribute,
                           AttributeEdit redo, AttributeEdit undo) {
    const auto target = hostCast<Node>(node);
    const auto changed = hostCast<Attribute>(attribute);
    if (!target || !changed) return MStatus::kInvalidParameter;
    const auto step = [target, changed](AttributeEdit edit) -> std::function<MStatus()> {
        if (!edit) return nullptr;
        return [target, changed, edit] {
            std::string ignored;
            return (Scene::instance().*edit)(*target, changed, &ignored);
        };
    };
    queue.push_back({step(redo), step(undo)});
    return MStatus::kSuccess;
}

}  // namespace

MObject MDGModifier::createNode(const MString& type, MStatus* returnStatus) {
    // The node exists at once so that the caller can queue edits on it.
    std::shared_ptr<Node> node;
    std::string error;
    const MStatus status = Scene::instance().createNode(type.asChar(), "", &node, &error);
    if (returnStatus) *returnStatus = status;
    if (!status) return MObject();
    std::weak_ptr<Node> made = node;
    queued_.push_back(Edit{[] { return MStatus(MStatus::kSuccess); },
                           [made] {
                               std::string ignored;
                               return Scene::instance().deleteNode(made.lock(), &ignored);
                           }});
    return node->object();
}

MStatus MDGModifier::deleteNode(const MObject& node) {
    const auto target = hostCast<Node>(node);
    if (!target || !target->alive) return MStatus::kInvalidParameter;
    queued_.push_back(Edit{[target] {
                               std::string ignored;
                               return Scene::instance().deleteNode(target, &ignored);
                           },
                           nullptr});
    return MStatus::kSuccess;
}

MStatus MDGModifier::renameNode(const MObject& node, const MString& newName) {
    const auto target = hostCast<Node>(node);
    if (!target || !target->alive) return MStatus::kInvalidParameter;
    const std::string oldName = target->name;
    const std::string name = newName.asChar();
    queued_.push_back(Edit{[target, name] {
                               std::string ignored;
                               return Scene::instance().renameNode(*target, name, &ignored);
                           },
                           [target, oldName] {
                               std::string ignored;
                               return Scene::instance().renameNode(*target, oldName, &ignored);
                           }});
    return MStatus::kSuccess;
}

MStatus MDGModifier::connect(const MPlug& source, const MPlug& destination) {
    return queuePlugEdit(queued_, source, destination, connectPlugs, disconnectPlugs);
}

MStatus MDGModifier::connect(const MObject& sourceNode, const MObject& sourceAttribute,
                             const MObject& destNode, const MObject& destAttribute) {
    return connect(plugOf(sourceNode, sourceAttribute), plugOf(destNode, destAttribute));
}

MStatus MDGModifier::disconnect(const MPlug& source, const MPlug& destination) {
    return queuePlugEdit(queued_, source, destination, disconnectPlugs, connectPlugs);
}

MStatus MDGModifier::disconnect(const MObject& sourceNode, const MObject& sourceAttribute,
                                const MObject& destNode, const MObject& destAttribute) {
    return disconnect(plugOf(sourceNode, sourceAttribute), plugOf(destNode, destAttribute));
}

MStatus MDGModifier::addAttribute(const MObject& node, const MObject& attribute) {
    return queueAttributeEdit(queued_, node, attribute, &Scene::addDynamicAttribute,
                              &Scene::removeDynamicAttribute);
}

MStatus MDGModifier::removeAttribute(const MObject& node, const MObject& attribute) {
    return queueAttributeEdit(queued_, node, attribute, &Scene::removeDynamicAttribute, nullptr);
}

MStatus MDGModifier::newPlugValueDouble(const MPlug& plug, double value) {
    const double before = plug.asDouble();
    queued_.push_back(Edit{[plug, value] { return MPlug(plug).setDouble(value); },
                           [plug, before] { return MPlug(plug).setDouble(before); }});
    return MStatus::kSuccess;
}

MStatus MDGModifier::newPlugValueInt(const MPlug& plug, int value) {
    return newPlugValueDouble(plug, value);
}

MStatus MDGModifier::newPlugValueBool(const MPlug& plug, bool value) {
    return newPlugValueDouble(plug, value ? 1.0 : 0.0);
}

MStatus MDGModifier::newPlugValueString(const MPlug& plug, const MString& value) {
    const MString before = plug.asString();
    queued_.push_back(Edit{[plug, value] { return MPlug(plug).setString(value); },
                           [plug, before] { return MPlug(plug).setString(before); }});
    return MStatus::kSuccess;
}

MStatus MDGModifier::doIt() {
    headless::detail::requireMainThread("MDGModifier::doIt");
    // Edits queued while doIt runs (by node callbacks) belong to the next doIt.
    std::vector<Edit> batch;
    batch.swap(queued_);
    for (auto& edit : batch) {
        const MStatus status = edit.redo();
        if (!status) return status;
        done_.push_back(std::move(edit));
    }
    return MStatus::kSuccess;
}

MStatus MDGModifier::undoIt() {
    MStatus result = MStatus::kSuccess;
    while (!done_.empty()) {
        Edit edit = std::move(done_.back());
        done_.pop_back();
        if (edit.undo) {
            const MStatus status = edit.undo();
            if (!status) result = status;
        }
    }
    return result;
}
