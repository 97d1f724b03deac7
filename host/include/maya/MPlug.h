#pragma once
// Headless host: Maya's MPlug, one attribute of one node (with the logical indices of every
// array on the attribute's path).

#include <memory>
#include <vector>

#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <headless/detail/HostTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MDGContext;
class MIntArray;
class MPlugArray;

class MPlug {
  public:
    MPlug() = default;
    MPlug(const MObject& node, const MObject& attribute);
    MPlug(const MPlug&) = default;
    MPlug& operator=(const MPlug&) = default;
    ~MPlug() = default;

    bool isNull(MStatus* returnStatus = nullptr) const;
    MObject attribute(MStatus* returnStatus = nullptr) const;
    MObject node(MStatus* returnStatus = nullptr) const;
    MString name(MStatus* returnStatus = nullptr) const;
    MString partialName(bool includeNodeName = false, bool includeNonMandatoryIndices = false,
                        bool includeInstancedIndices = false, bool useAlias = false,
                        bool useFullAttributePath = false, bool useLongNames = false,
                        MStatus* returnStatus = nullptr) const;

    bool isNetworked(MStatus* returnStatus = nullptr) const;
    bool isArray(MStatus* returnStatus = nullptr) const;
    bool isElement(MStatus* returnStatus = nullptr) const;
    bool isCompound(MStatus* returnStatus = nullptr) const;
    bool isChild(MStatus* returnStatus = nullptr) const;
    bool isDynamic(MStatus* returnStatus = nullptr) const;
    bool isKeyable(MStatus* returnStatus = nullptr) const;
    bool isLocked(MStatus* returnStatus = nullptr) const;
    bool isConnected(MStatus* returnStatus = nullptr) const;
    bool isSource(MStatus* returnStatus = nullptr) const;
    bool isDestination(MStatus* returnStatus = nullptr) const;

    unsigned int numChildren(MStatus* returnStatus = nullptr) const;
    MPlug child(unsigned int index, MStatus* returnStatus = nullptr) const;
    MPlug child(MObject& attribute, MStatus* returnStatus = nullptr) const;
    MPlug parent(MStatus* returnStatus = nullptr) const;
    MPlug array(MStatus* returnStatus = nullptr) const;

    unsigned int numElements(MStatus* returnStatus = nullptr) const;
    unsigned int evaluateNumElements(MStatus* returnStatus = nullptr);
    MPlug elementByLogicalIndex(unsigned int logicalIndex, MStatus* returnStatus = nullptr) const;
    MPlug elementByPhysicalIndex(unsigned int physicalIndex, MStatus* returnStatus = nullptr) const;
    unsigned int logicalIndex(MStatus* returnStatus = nullptr) const;
    unsigned int getExistingArrayAttributeIndices(MIntArray& indices,
                                                  MStatus* returnStatus = nullptr);

    bool connectedTo(MPlugArray& array, bool asDst, bool asSrc,
                     MStatus* returnStatus = nullptr) const;
    MPlug source(MStatus* returnStatus = nullptr) const;
    bool destinations(MPlugArray& array, MStatus* returnStatus = nullptr) const;

    double asDouble(MStatus* returnStatus = nullptr) const;
    double asDouble(const MDGContext& context, MStatus* returnStatus = nullptr) const;
    float asFloat(MStatus* returnStatus = nullptr) const;
    int asInt(MStatus* returnStatus = nullptr) const;
    short asShort(MStatus* returnStatus = nullptr) const;
    bool asBool(MStatus* returnStatus = nullptr) const;
    MString asString(MStatus* returnStatus = nullptr) const;
    MObject asMObject(MStatus* returnStatus = nullptr) const;

    MStatus setDouble(double value);
    MStatus setFloat(float value);
    MStatus setInt(int value);
    MStatus setShort(short value);
    MStatus setBool(bool value);
    MStatus setString(const MString& value);
    MStatus setMObject(const MObject& data);
    MStatus setValue(double value) { return setDouble(value); }
    MStatus setValue(float value) { return setFloat(value); }
    MStatus setValue(int value) { return setInt(value); }
    MStatus setValue(bool value) { return setBool(value); }
    MStatus setValue(const MString& value) { return setString(value); }
    MStatus setValue(const char* value) { return setString(MString(value)); }
    MStatus setValue(const MObject& data) { return setMObject(data); }

    bool operator==(const MPlug& other) const;
    bool operator==(const MObject& attribute) const;
    bool operator!=(const MPlug& other) const { return !(*this == other); }
    bool operator!=(const MObject& attribute) const { return !(*this == attribute); }

  private:
    friend struct headless::detail::HostAccess;
    MPlug(std::shared_ptr<headless::detail::Node> node,
          std::shared_ptr<headless::detail::Attribute> attribute,
          std::vector<unsigned int> indices);

    std::shared_ptr<headless::detail::Node> node_;
    std::shared_ptr<headless::detail::Attribute> attribute_;
    // One logical index per array attribute on the path from the root attribute, outermost
    // first; one fewer when the plug is an array plug itself.
    std::vector<unsigned int> indices_;
};

OPENMAYA_NAMESPACE_CLOSE
