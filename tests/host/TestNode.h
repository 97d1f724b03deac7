#pragma once
// What the host tests' node types share: their creator, their double attributes made in one
// call each, and adding a list of attributes at once.

#include <initializer_list>

#include <maya/MFnNumericAttribute.h>
#include <maya/MPxNode.h>

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

// The base of a test node type `Node` derived from Maya's `Base`.
template <typename Node, typename Base = MPxNode>
class TestNode : public Base {
  public:
    static void* creator() { return new Node; }

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
