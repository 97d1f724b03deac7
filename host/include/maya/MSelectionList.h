#pragma once
// Headless host: Maya's MSelectionList (dependency nodes and plugs).

#include <vector>

#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MSelectionList {
  public:
    MSelectionList() = default;

    // Adds every node matching the name (with * and ? wildcards), or the plug "node.attribute".
    MStatus add(const MString& matchString, bool searchChildNamespacesToo = false);
    MStatus add(const MObject& object, bool mergeWithExisting = false);
    MStatus add(const MPlug& plug, bool mergeWithExisting = false);
    MStatus getDependNode(unsigned int index, MObject& object) const;
    MStatus getPlug(unsigned int index, MPlug& plug) const;
    unsigned int length(MStatus* returnStatus = nullptr) const;
    bool isEmpty(MStatus* returnStatus = nullptr) const;
    MStatus clear();

  private:
    struct Item {
        MObject node;
        MPlug plug;
        bool hasPlug = false;
    };
    std::vector<Item> items_;
};

OPENMAYA_NAMESPACE_CLOSE
