#pragma once
// Headless host: Maya's MFnDependencyNode.

#include <maya/MFnBase.h>
#include <maya/MPlug.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MPlugArray;
class MPxNode;

class MFnDependencyNode : public MFnBase {
  public:
    enum MAttrClass { kLocalDynamicAttr = 1, kNormalAttr, kExtensionAttr, kInvalidAttr };

    declareMFn(MFnDependencyNode, MFnBase);
    declareMFnConstConstructor(MFnDependencyNode, MFnBase);

    MObject create(const MString& type, MStatus* returnStatus = nullptr);
    MObject create(const MString& type, const MString& name, MStatus* returnStatus = nullptr);

    MString name(MStatus* returnStatus = nullptr) const;
    MString setName(const MString& name, bool createNamespace = false,
                    MStatus* returnStatus = nullptr);
    MString typeName(MStatus* returnStatus = nullptr) const;
    MTypeId typeId(MStatus* returnStatus = nullptr) const;
    MPxNode* userNode(MStatus* returnStatus = nullptr) const;

    MPlug findPlug(const MString& attrName, bool wantNetworkedPlug,
                   MStatus* returnStatus = nullptr) const;
    MPlug findPlug(const MObject& attribute, bool wantNetworkedPlug,
                   MStatus* returnStatus = nullptr) const;
    MPlug findPlug(const MString& attrName, MStatus* returnStatus = nullptr) const;
    MPlug findPlug(const MObject& attribute, MStatus* returnStatus = nullptr) const;

    unsigned int attributeCount(MStatus* returnStatus = nullptr) const;
    MObject attribute(unsigned int index, MStatus* returnStatus = nullptr) const;
    MObject attribute(const MString& attrName, MStatus* returnStatus = nullptr) const;
    bool hasAttribute(const MString& attrName, MStatus* returnStatus = nullptr) const;
    MStatus addAttribute(const MObject& attribute) {
        return addAttribute(attribute, kLocalDynamicAttr);
    }
    MStatus removeAttribute(const MObject& attribute) {
        return removeAttribute(attribute, kLocalDynamicAttr);
    }
    MStatus addAttribute(const MObject& attribute, MAttrClass type);
    MStatus removeAttribute(const MObject& attribute, MAttrClass type);
    MStatus getConnections(MPlugArray& array) const;
};

OPENMAYA_NAMESPACE_CLOSE
