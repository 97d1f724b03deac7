#pragma once
// What the host tests' node types share: their creator and registration, their double
// attributes made in one call each, and adding a list of attributes at once.

#include <initializer_list>

#include <maya/MArrayDataHandle.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MPxNode.h>
#include <maya/MTypeId.h>

namespace hosttest {

// Where a test node's double attribute leaves MFnNumericAttribute's defaults.
enum AttributeFlags : unsigned {
    kComputed = 1u << 0,  // an output: not writable
    kNotStored = 1u << 1,
    kHidden = 1u << 2,
    kNotConnectable = 1u << 3,
    kArray = 1u << 4,
};

inline MObject doubleAttribute(const char* longName, const char* shortName, unsigned flags = 0,
                               double defaultValue = 0.0) {
    MFnNumericAttribute fn;
    MObject attribute = fn.create(longName, shortName, MFnNumericData::kDouble, defaultValue);
    if (flags & kComputed) fn.setWritable(false);
    if (flags & kNotStored) fn.setStorable(false);
    if (flags & kHidden) fn.setHidden(true);
    if (flags & kNotConnectable) fn.setConnectable(false);
    if (flags & kArray) fn.setArray(true);
    return attribute;
}

// The sum of an array of doubles, as the test nodes that gather their inputs compute it.
inline double sumOfElements(MArrayDataHandle elements) {
    double sum = 0.0;
    for (unsigned int i = 0; i < elements.elementCount(); ++i, elements.next()) {
        sum += elements.inputValue().asDouble();
    }
    return sum;
}

// The base of a test node type `Node` derived from Maya's `Base`.
template <typename Node, typename Base = MPxNode>
class TestNode : public Base {
  public:
    static void* creator() { return new Node; }

    static MStatus registerIn(MFnPlugin& plugin, const char* typeName, unsigned int id,
                              MPxNode::Type type = MPxNode::kDependNode) {
        return plugin.registerNode(typeName, MTypeId(id), &creator, &Node::initialize, type);
    }

  protected:
    // Adds the attributes in order; the first that fails stops initialize.
    static MStatus addAttributes(std::initializer_list<const MObject*> attributes) {
        for (const MObject* attribute : attributes) {
            const MStatus status = Base::addAttribute(*attribute);
            if (!status) return status;
        }
        return MStatus::kSuccess;
    }
};

}  // namespace hosttest
