#pragma once
// Headless host: Maya's MDataBlock, a node's values as compute sees them.

#include <maya/MArrayDataHandle.h>
#include <maya/MDGContext.h>
#include <maya/MDataHandle.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>

#include <headless/detail/HostTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MDataBlock {
  public:
    MDataBlock(const MDataBlock&) = default;
    MDataBlock& operator=(const MDataBlock&) = default;
    ~MDataBlock() = default;

    MDataHandle inputValue(const MPlug& plug, MStatus* returnStatus = nullptr);
    MDataHandle inputValue(const MObject& attribute, MStatus* returnStatus = nullptr);
    MDataHandle outputValue(const MPlug& plug, MStatus* returnStatus = nullptr);
    MDataHandle outputValue(const MObject& attribute, MStatus* returnStatus = nullptr);
    MArrayDataHandle inputArrayValue(const MPlug& plug, MStatus* returnStatus = nullptr);
    MArrayDataHandle inputArrayValue(const MObject& attribute, MStatus* returnStatus = nullptr);
    MArrayDataHandle outputArrayValue(const MPlug& plug, MStatus* returnStatus = nullptr);
    MArrayDataHandle outputArrayValue(const MObject& attribute, MStatus* returnStatus = nullptr);
    MStatus setClean(const MPlug& plug);
    MStatus setClean(const MObject& attribute);
    bool isClean(const MPlug& plug);
    bool isClean(const MObject& attribute, MStatus* returnStatus = nullptr);
    MDGContext context(MStatus* returnStatus = nullptr);

  private:
    friend struct headless::detail::HostAccess;
    MDataBlock(headless::detail::Node* node, const MDGContext& context)
        : node_(node), context_(context) {}

    headless::detail::Node* node_ = nullptr;  // valid while the compute that made it runs
    MDGContext context_;
};

OPENMAYA_NAMESPACE_CLOSE
