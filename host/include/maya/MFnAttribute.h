#pragma once
// Headless host: Maya's MFnAttribute, the flags and names common to every attribute.

#include <maya/MFnBase.h>
#include <maya/MString.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MFnAttribute : public MFnBase {
  public:
    enum DisconnectBehavior { kDelete, kReset, kNothing };

    declareMFn(MFnAttribute, MFnBase);
    declareMFnConstConstructor(MFnAttribute, MFnBase);

    bool isReadable(MStatus* returnStatus = nullptr) const;
    bool isWritable(MStatus* returnStatus = nullptr) const;
    bool isConnectable(MStatus* returnStatus = nullptr) const;
    bool isStorable(MStatus* returnStatus = nullptr) const;
    bool isHidden(MStatus* returnStatus = nullptr) const;
    bool isKeyable(MStatus* returnStatus = nullptr) const;
    bool isArray(MStatus* returnStatus = nullptr) const;
    bool isDynamic(MStatus* returnStatus = nullptr) const;
    bool isUsedAsFilename(MStatus* returnStatus = nullptr) const;
    bool isChannelBoxFlagSet(MStatus* returnStatus = nullptr) const;
    bool isCached(MStatus* returnStatus = nullptr) const;
    bool indexMatters(MStatus* returnStatus = nullptr) const;
    DisconnectBehavior disconnectBehavior(MStatus* returnStatus = nullptr) const;

    MStatus setReadable(bool state);
    MStatus setWritable(bool state);
    MStatus setConnectable(bool state);
    MStatus setStorable(bool state);
    MStatus setHidden(bool state);
    MStatus setKeyable(bool state);
    MStatus setArray(bool state);
    MStatus setUsedAsFilename(bool state);
    MStatus setChannelBox(bool state);
    MStatus setCached(bool state);
    MStatus setIndexMatters(bool state);
    MStatus setDisconnectBehavior(DisconnectBehavior behavior);
    MStatus setAffectsAppearance(bool state);

    MString name(MStatus* returnStatus = nullptr) const;
    MString shortName(MStatus* returnStatus = nullptr) const;
    MObject parent(MStatus* returnStatus = nullptr) const;
};

OPENMAYA_NAMESPACE_CLOSE
