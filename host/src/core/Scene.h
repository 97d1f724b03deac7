#pragma once
// The scene: its nodes in creation order and its connections. Main thread only.

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <maya/MPlug.h>
#include <maya/MStatus.h>

#include "core/Node.h"

namespace headless::detail {

struct Connection {
    MPlug source;
    MPlug destination;
};

class Scene {
  public:
    static Scene& instance();

    const std::vector<std::shared_ptr<Node>>& nodes() const { return nodes_; }
    const std::vector<Connection>& connections() const { return connections_; }
    std::shared_ptr<Node> findNode(const std::string& name) const;

    // Creates a node of a registered type; the name is made unique (empty: from the type).
    MStatus createNode(const std::string& typeName, const std::string& requestedName,
                       std::shared_ptr<Node>* created, std::string* error);
    // Takes the node out of the graph as Maya's delete does: runs its pre-removal callbacks,
    // stops a device node's worker, breaks its connections and puts it on the undo queue, where
    // the plug-in's node object lives on until flushUndo (or a new scene). Every object set
    // connected to it is asked canBeDeleted(isSrcNode), isSrcNode being true when the set is
    // the source of the connection; a set that answers true and has no member left goes too.
    MStatus deleteNode(const std::shared_ptr<Node>& node, std::string* error);
    // Deleted nodes whose plug-in objects still live, oldest first.
    const std::vector<std::shared_ptr<Node>>& undoQueue() const { return undoQueue_; }
    // Destroys the plug-in objects of the deleted nodes (flushUndo); with a plug-in's name,
    // only those of its node types.
    void flushUndo(const std::string& pluginName = {});
    // Maya leaves open whether connectionBroken runs before or after an element that deletes on
    // disconnect is removed; tests switch between the two (before by default).
    void setConnectionBrokenAfterElementRemoval(bool after) { brokenAfterRemoval_ = after; }
    MStatus renameNode(Node& node, const std::string& requestedName, std::string* error);
    // Empties the scene (file -new), flushes the undo queue and creates its default nodes again.
    void reset();

    // Connects source to destination. A destination array plug whose index does not matter
    // (or with nextAvailable) gets its next free element. Plugs of different unit types are
    // connected through a new "unitConversion" node, as Maya does. Opening a file does not ask
    // the nodes' legalConnection and inserts no conversion (askNodes false), as Maya reads
    // connections, and the conversion nodes saved with them, without a veto.
    // Disconnecting plugs joined through a conversion node deletes that node; so does breaking
    // either of its own connections.
    MStatus connect(const MPlug& source, const MPlug& destination, bool force, bool nextAvailable,
                    std::string* error, bool askNodes = true);
    MStatus disconnect(const MPlug& source, const MPlug& destination, std::string* error);
    // The unitConversion node that joins source to destination, or null.
    std::shared_ptr<Node> conversionBetween(const MPlug& source, const MPlug& destination) const;
    // Connections with an end within the plug (the plug itself, its children or elements).
    std::vector<Connection> connectionsWithin(const MPlug& plug, bool asDestination,
                                              bool asSource) const;

    MStatus addDynamicAttribute(Node& node, const std::shared_ptr<Attribute>& attribute,
                                std::string* error);
    MStatus removeDynamicAttribute(Node& node, const std::shared_ptr<Attribute>& attribute,
                                   std::string* error);

    // Runs before a node is destroyed (deletion, a new scene); the threaded device machinery
    // stops the node's worker thread here.
    void addNodeTeardownHook(std::function<void(Node&)> hook) {
        teardownHooks_.push_back(std::move(hook));
    }

  private:
    Scene();
    std::string uniqueName(const std::string& requested, const std::string& typeName) const;
    void removeConnectionAt(std::size_t index);
    bool deleteElementIfUnused(const MPlug& element);
    void destroy(Node& node);
    bool setHasMembers(Node& set) const;
    void teardown(Node& node);
    void link(const MPlug& source, const MPlug& destination);
    MStatus connectChildren(const MPlug& source, const MPlug& destination, bool force,
                            const std::string& names, std::string* error);
    MStatus connectThroughConversion(const MPlug& source, const MPlug& destination, double factor,
                                     std::string* error);
    void dropConversionIfUnused(const std::shared_ptr<Node>& node);

    std::vector<std::shared_ptr<Node>> nodes_;
    std::vector<Connection> connections_;
    std::vector<std::function<void(Node&)>> teardownHooks_;
    // Nodes whose deletion is under way: breaking their connections must not delete them again.
    std::set<const Node*> dying_;
    std::vector<std::shared_ptr<Node>> undoQueue_;
    bool brokenAfterRemoval_ = false;
};

bool isValidNodeName(const std::string& name);

}  // namespace headless::detail
