#pragma once
// The host's way into the private parts of the API classes (handles, plugs, data blocks). Only
// host sources include this; plug-ins see the API classes as Maya declares them.

#include <memory>
#include <vector>

#include <maya/MDataBlock.h>
#include <maya/MEvaluationNode.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>
#include <maya/MPxThreadedDeviceNode.h>

#include "core/HostObject.h"

namespace headless::detail {

class Node;
class Attribute;
class DeviceQueue;
class DeviceThread;

struct HostAccess {
    static MObject wrap(std::shared_ptr<HostObject> object) {
        MObject handle;
        handle.object_ = std::move(object);
        return handle;
    }
    static const std::shared_ptr<HostObject>& unwrap(const MObject& handle) {
        return handle.object_;
    }

    static MPlug plug(std::shared_ptr<Node> node, std::shared_ptr<Attribute> attribute,
                      std::vector<unsigned int> indices) {
        return MPlug(std::move(node), std::move(attribute), std::move(indices));
    }
    static const std::shared_ptr<Node>& node(const MPlug& plug) { return plug.node_; }
    static const std::shared_ptr<Attribute>& attribute(const MPlug& plug) {
        return plug.attribute_;
    }
    static const std::vector<unsigned int>& indices(const MPlug& plug) { return plug.indices_; }

    static MDataBlock dataBlock(Node* node, const MDGContext& context) {
        return MDataBlock(node, context);
    }
    static MEvaluationNode evaluationNode(const MObject& node, std::vector<MPlug> dirtyPlugs) {
        return MEvaluationNode(node, std::move(dirtyPlugs));
    }
    static void attachHost(MPxNode& user, Node* node) { user.hostNode_ = node; }
    static Node* hostOf(const MPxNode& user) { return user.hostNode_; }
    static DeviceQueue& queue(MPxThreadedDeviceNode& device) { return *device.queue_; }
    static DeviceThread& thread(MPxThreadedDeviceNode& device) { return *device.thread_; }
};

inline MObject wrap(std::shared_ptr<HostObject> object) {
    return HostAccess::wrap(std::move(object));
}

// The host object behind an MObject if it is of type T, else null.
template <typename T>
std::shared_ptr<T> hostCast(const MObject& handle) {
    return std::dynamic_pointer_cast<T>(HostAccess::unwrap(handle));
}

inline MPlug makePlug(std::shared_ptr<Node> node, std::shared_ptr<Attribute> attribute,
                      std::vector<unsigned int> indices) {
    return HostAccess::plug(std::move(node), std::move(attribute), std::move(indices));
}
inline const std::shared_ptr<Node>& nodeOf(const MPlug& plug) {
    return HostAccess::node(plug);
}
inline const std::shared_ptr<Attribute>& attributeOf(const MPlug& plug) {
    return HostAccess::attribute(plug);
}
inline const std::vector<unsigned int>& indicesOf(const MPlug& plug) {
    return HostAccess::indices(plug);
}

}  // namespace headless::detail
