#pragma once
// An attribute definition: kind, names, default, flags and children. Static attributes belong
// to node types, dynamic ones to a single node.

#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include <maya/MFnAttribute.h>
#include <maya/MFnData.h>
#include <maya/MFnNumericData.h>
#include <maya/MFnUnitAttribute.h>

#include "core/HostAccess.h"
#include "core/HostObject.h"
#include "core/Value.h"

namespace headless::detail {

enum class AttributeKind { Numeric, Unit, Typed, Compound, Message };

class Attribute : public HostObject {
  public:
    Attribute(AttributeKind kind, std::string longName, std::string shortName);

    MFn::Type apiType() const override;
    bool hasFn(MFn::Type type) const override;

    std::shared_ptr<Attribute> parentAttribute() const { return parent.lock(); }
    std::shared_ptr<Attribute> self() {
        return std::static_pointer_cast<Attribute>(shared_from_this());
    }
    bool hasName(const std::string& name) const { return name == longName || name == shortName; }
    // Root first, this attribute last.
    std::vector<const Attribute*> path() const;
    // Array attributes on the path, this one included.
    unsigned int arrayDepth() const;
    bool isAncestorOrSelf(const Attribute& other) const;
    // This attribute or a descendant of the given name.
    std::shared_ptr<Attribute> findInTree(const std::string& name);
    // Position among the parent's children; 0 for a root attribute.
    unsigned int childPosition() const;
    // Children come and go through these, so that a name among them is found in constant time
    // (a compound may have tens of thousands of children).
    void adoptChild(const std::shared_ptr<Attribute>& child);
    void dropChild(const std::shared_ptr<Attribute>& child);
    bool hasChildNamed(const std::string& name) const { return childNames_.count(name) != 0; }
    // Stored form of a number written to this attribute: clamped, and rounded for integers.
    double normalized(double value) const;
    bool isNumber() const { return kind == AttributeKind::Numeric || kind == AttributeKind::Unit; }

    AttributeKind kind;
    std::string longName;
    std::string shortName;
    MFnNumericData::Type numericType = MFnNumericData::kDouble;
    MFnUnitAttribute::Type unitType = MFnUnitAttribute::kInvalid;
    MFnData::Type dataType = MFnData::kInvalid;
    Value defaultValue;
    std::optional<double> minimum;
    std::optional<double> maximum;
    bool readable = true;
    bool writable = true;
    bool connectable = true;
    bool storable = true;
    bool hidden = false;
    bool keyable = false;
    bool array = false;
    bool usedAsFilename = false;
    bool channelBox = false;
    bool cached = true;
    bool indexMatters = true;
    bool dynamic = false;
    // Added to a node type or a node (an attribute is added once).
    bool inUse = false;
    MFnAttribute::DisconnectBehavior disconnectBehavior = MFnAttribute::kNothing;
    // Changed through adoptChild and dropChild only.
    std::vector<std::shared_ptr<Attribute>> children;
    std::weak_ptr<Attribute> parent;

  private:
    std::unordered_multiset<std::string> childNames_;  // long and short names of the children
};

// A name Maya can address in a plug path: letters, digits and '_', not starting with a digit.
bool isValidAttributeName(const std::string& name);

// Makes a new attribute and hands back its MObject.
std::shared_ptr<Attribute> makeAttribute(AttributeKind kind, const std::string& longName,
                                         const std::string& shortName);

}  // namespace headless::detail
