#include <maya/MFnDependencyNode.h>

#include <maya/MPlugArray.h>
#include "api/FunctionSetDefinition.h"
#include "core/ThreadCheck.h"

#include <functional>

#include "core/Plugs.h"
#include "core/Scene.h"

using namespace headless::detail;

namespace {

std::shared_ptr<Node> nodeIn(const MObject& object) {
    auto node = hostCast<Node>(object);
    return node && node->alive ? node : nullptr;
}

void report(MStatus* returnStatus, bool ok, MStatus failure = MStatus::kFailure) {
    if (returnStatus) *returnStatus = ok ? MStatus::kSuccess : failure;
}

// Every attribute of the node, parents before their children.
std::vector<std::shared_ptr<Attribute>> flattened(const Node& node) {
    std::vector<std::shared_ptr<Attribute>> all;
    std::function<void(const std::shared_ptr<Attribute>&)> visit =
        [&](const std::shared_ptr<Attribute>& a) {
            all.push_back(a);
            for (const auto& child : a->children) visit(child);
        };
    for (const auto& root : node.rootAttributes()) visit(root);
    return all;
}

using DynamicAttributeEdit = MStatus (Scene::*)(Node&, const std::shared_ptr<Attribute>&,
                                                std::string*);

// Adding and removing a dynamic attribute check their arguments alike.
MStatus editDynamicAttribute(const char* caller, const MObject& object, const MObject& attribute,
                             DynamicAttributeEdit edit) {
    requireMainThread(caller);
    const auto node = nodeIn(object);
    const auto found = hostCast<Attribute>(attribute);
    if (!node || !found) return MStatus::kInvalidParameter;
    std::string error;
    return (Scene::instance().*edit)(*node, found, &error);
}

}  // namespace

implementMFn(MFnDependencyNode, kDependencyNode);

MObject MFnDependencyNode::create(const MString& type, MStatus* returnStatus) {
    return create(type, MString(), returnStatus);
}

MObject MFnDependencyNode::create(const MString& type, const MString& name, MStatus* returnStatus) {
    std::shared_ptr<Node> node;
    std::string error;
    const MStatus status =
        Scene::instance().createNode(type.asChar(), name.asChar(), &node, &error);
    if (returnStatus) *returnStatus = status;
    if (!status) return MObject();
    object_ = node->object();
    return object_;
}

MString MFnDependencyNode::name(MStatus* returnStatus) const {
    const auto node = nodeIn(object_);
    report(returnStatus, node != nullptr);
    return node ? MString(node->name.c_str()) : MString();
}

MString MFnDependencyNode::setName(const MString& name, bool, MStatus* returnStatus) {
    const auto node = nodeIn(object_);
    std::string error;
    const MStatus status =
        node ? Scene::instance().renameNode(*node, name.asChar(), &error) : MStatus::kFailure;
    if (returnStatus) *returnStatus = status;
    return node ? MString(node->name.c_str()) : MString();
}

MString MFnDependencyNode::typeName(MStatus* returnStatus) const {
    const auto node = nodeIn(object_);
    report(returnStatus, node != nullptr);
    return node ? MString(node->type->name.c_str()) : MString();
}

MTypeId MFnDependencyNode::typeId(MStatus* returnStatus) const {
    const auto node = nodeIn(object_);
    report(returnStatus, node != nullptr);
    return node ? node->type->id : MTypeId();
}

MPxNode* MFnDependencyNode::userNode(MStatus* returnStatus) const {
    const auto node = nodeIn(object_);
    report(returnStatus, node && node->user);
    return node ? node->user.get() : nullptr;
}

MPlug MFnDependencyNode::findPlug(const MString& attrName, bool, MStatus* returnStatus) const {
    headless::detail::requireMainThread("MFnDependencyNode::findPlug");
    const auto node = nodeIn(object_);
    const auto attribute = node ? node->findAttribute(attrName.asChar()) : nullptr;
    report(returnStatus, attribute != nullptr, MStatus::kInvalidParameter);
    return attribute ? makePlug(node, attribute, {}) : MPlug();
}

MPlug MFnDependencyNode::findPlug(const MObject& attribute, bool, MStatus* returnStatus) const {
    headless::detail::requireMainThread("MFnDependencyNode::findPlug");
    const auto node = nodeIn(object_);
    const auto found = hostCast<Attribute>(attribute);
    const bool ok = node && found && node->owns(*found);
    report(returnStatus, ok, MStatus::kInvalidParameter);
    return ok ? makePlug(node, found, {}) : MPlug();
}

MPlug MFnDependencyNode::findPlug(const MString& attrName, MStatus* returnStatus) const {
    return findPlug(attrName, true, returnStatus);
}

MPlug MFnDependencyNode::findPlug(const MObject& attribute, MStatus* returnStatus) const {
    return findPlug(attribute, true, returnStatus);
}

unsigned int MFnDependencyNode::attributeCount(MStatus* returnStatus) const {
    const auto node = nodeIn(object_);
    report(returnStatus, node != nullptr);
    return node ? static_cast<unsigned int>(flattened(*node).size()) : 0u;
}

MObject MFnDependencyNode::attribute(unsigned int index, MStatus* returnStatus) const {
    const auto node = nodeIn(object_);
    const auto all = node ? flattened(*node) : std::vector<std::shared_ptr<Attribute>>{};
    const bool ok = index < all.size();
    report(returnStatus, ok, MStatus::kInvalidParameter);
    return ok ? wrap(all[index]) : MObject();
}

MObject MFnDependencyNode::attribute(const MString& attrName, MStatus* returnStatus) const {
    const auto node = nodeIn(object_);
    const auto found = node ? node->findAttribute(attrName.asChar()) : nullptr;
    report(returnStatus, found != nullptr, MStatus::kInvalidParameter);
    return found ? wrap(found) : MObject();
}

bool MFnDependencyNode::hasAttribute(const MString& attrName, MStatus* returnStatus) const {
    const auto node = nodeIn(object_);
    report(returnStatus, node != nullptr);
    return node && node->findAttribute(attrName.asChar());
}

MStatus MFnDependencyNode::addAttribute(const MObject& attribute, MAttrClass) {
    return editDynamicAttribute("MFnDependencyNode::addAttribute", object_, attribute,
                                &Scene::addDynamicAttribute);
}

MStatus MFnDependencyNode::removeAttribute(const MObject& attribute, MAttrClass) {
    return editDynamicAttribute("MFnDependencyNode::removeAttribute", object_, attribute,
                                &Scene::removeDynamicAttribute);
}

MStatus MFnDependencyNode::getConnections(MPlugArray& array) const {
    array.clear();
    const auto node = nodeIn(object_);
    if (!node) return MStatus::kFailure;
    for (const auto& c : Scene::instance().connections()) {
        for (const MPlug* end : {&c.source, &c.destination}) {
            if (nodeOf(*end) != node) continue;
            bool seen = false;
            for (unsigned int i = 0; i < array.length(); ++i) seen = seen || array[i] == *end;
            if (!seen) array.append(*end);
        }
    }
    return MStatus::kSuccess;
}
