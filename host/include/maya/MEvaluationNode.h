#pragma once
// Headless host: Maya's MEvaluationNode, the node as the parallel evaluation sees it before it
// evaluates: which of its plugs are dirty.

#include <memory>
#include <vector>

#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>

#include <headless/detail/HostTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MEvaluationNode {
  public:
    MEvaluationNode(const MEvaluationNode&) = default;
    MEvaluationNode& operator=(const MEvaluationNode&) = default;
    virtual ~MEvaluationNode() = default;

    bool dirtyPlugExists(const MObject& attribute, MStatus* returnStatus = nullptr) const;
    MPlug dirtyPlug(const MObject& attribute, MStatus* returnStatus = nullptr) const;
    MObject dependencyNode(MStatus* returnStatus = nullptr) const;

  private:
    MEvaluationNode() = default;
    friend struct headless::detail::HostAccess;
    // The node and the plugs that are dirty in this evaluation.
    MEvaluationNode(const MObject& node, std::vector<MPlug> dirtyPlugs)
        : node_(node), dirtyPlugs_(std::move(dirtyPlugs)) {}

    MObject node_;
    std::vector<MPlug> dirtyPlugs_;
};

OPENMAYA_NAMESPACE_CLOSE
