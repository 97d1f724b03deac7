#pragma once
// A node of the scene: its type, name, the plug-in's node object, dynamic attributes and the
// stored values and dirty flags of its plugs.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>

#include "core/Attribute.h"
#include "core/HostObject.h"
#include "core/NodeType.h"
#include "core/Value.h"

namespace headless::detail {

// A plug within its node: the attribute and the logical indices of the arrays on its path.
struct PlugKey {
    const Attribute* attribute = nullptr;
    std::vector<unsigned int> indices;

    bool operator<(const PlugKey& other) const {
        if (attribute != other.attribute) return attribute < other.attribute;
        return indices < other.indices;
    }
    bool operator==(const PlugKey& other) const {
        return attribute == other.attribute && indices == other.indices;
    }
};

struct PlugState {
    Value value;
    bool dirty = true;        // a plug never evaluated is dirty
    bool evaluating = false;  // guards against a compute that reads its own output
};

class Node : public HostObject {
  public:
    Node(std::shared_ptr<NodeType> type, std::string name);
    ~Node() override;

    MFn::Type apiType() const override;
    bool hasFn(MFn::Type type) const override;

    std::shared_ptr<Node> self() { return std::static_pointer_cast<Node>(shared_from_this()); }
    MObject object();
    // Takes ownership of the plug-in's node object and introduces it to this node.
    void attach(MPxNode* user);
    // Destroys the plug-in's node object; the node is dead from then on.
    void destroyUserNode();

    // Static attributes, then dynamic ones (roots only).
    std::vector<std::shared_ptr<Attribute>> rootAttributes() const;
    // An attribute of this node at any depth, by long or short name: the first that has the name
    // in root order, parents before their children. Constant time: a node may carry tens of
    // thousands of dynamic attributes.
    std::shared_ptr<Attribute> findAttribute(const std::string& name) const;
    bool owns(const Attribute& attribute) const;
    bool ownsRoot(const Attribute& attribute) const;

    // The only ways dynamic roots come and go, so that the name index follows them. A child
    // removed from a dynamic compound is forgotten with forgetDynamicTree before it goes.
    void addDynamicRoot(const std::shared_ptr<Attribute>& attribute);
    void removeDynamicRoot(const std::shared_ptr<Attribute>& attribute);
    void forgetDynamicTree(const Attribute& attribute);

    PlugState* findState(const PlugKey& key);
    PlugState& state(const PlugKey& key);
    // Existing logical indices of an array plug (its attribute and the indices above it).
    std::set<unsigned int>& elementsOf(const PlugKey& arrayKey) { return elements[arrayKey]; }
    // Forgets every value, flag and element under the key (the key included).
    void forgetTree(const PlugKey& key);

    std::shared_ptr<NodeType> type;
    std::string name;
    std::unique_ptr<MPxNode> user;
    // Changed through addDynamicRoot and removeDynamicRoot only.
    std::vector<std::shared_ptr<Attribute>> dynamicAttributes;
    // Alias -> the plug it names on this node (aliasAttr): an attribute's long name, or an
    // element ("weight[2]"). findAttribute knows them too (an element's alias finds its array);
    // plug names resolve them to the plug.
    std::map<std::string, std::string> aliases;
    std::map<PlugKey, PlugState> plugs;
    std::map<PlugKey, std::set<unsigned int>> elements;
    bool alive = true;
    // Default nodes of a scene (time1) cannot be deleted.
    bool isDefault = false;
    // Parallel evaluation: plugs dirtied since the node's last preEvaluation, and the pass in
    // which that call was made.
    std::set<PlugKey> dirtiedSinceEvaluation;
    unsigned long preEvaluatedInPass = 0;

  private:
    void indexTree(const Attribute& attribute) const;
    void buildNameIndex() const;

    // Name -> attribute, built on the first lookup and kept up to date by the dynamic root
    // changes above; rebuilt when the type's static attributes changed since (plug-in reload).
    mutable std::unordered_map<std::string, Attribute*> names_;
    mutable std::size_t indexedStaticCount_ = 0;
    mutable bool namesBuilt_ = false;
    std::unordered_set<const Attribute*> dynamicRoots_;
};

// True when `inner` lies within `outer`: the same or a descendant attribute, with outer's
// indices a prefix of inner's.
bool keyWithin(const PlugKey& inner, const PlugKey& outer);

}  // namespace headless::detail
