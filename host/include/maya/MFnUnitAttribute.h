#pragma once
// Headless host: Maya's MFnUnitAttribute. Angles are stored in radians, times in seconds.

#include <maya/MFnAttribute.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MTime;

class MFnUnitAttribute : public MFnAttribute {
  public:
    enum Type { kInvalid, kAngle, kDistance, kTime, kLast };

    declareMFn(MFnUnitAttribute, MFnAttribute);
    declareMFnConstConstructor(MFnUnitAttribute, MFnAttribute);

    MObject create(const MString& fullName, const MString& briefName, Type unitType,
                   double defaultValue = 0.0, MStatus* returnStatus = nullptr);
    MObject create(const MString& fullName, const MString& briefName, const MTime& defaultTime,
                   MStatus* returnStatus = nullptr);
    Type unitType(MStatus* returnStatus = nullptr) const;

    MStatus setMin(double minValue);
    MStatus setMax(double maxValue);
    bool hasMin(MStatus* returnStatus = nullptr) const;
    bool hasMax(MStatus* returnStatus = nullptr) const;
    MStatus setDefault(double value);
};

OPENMAYA_NAMESPACE_CLOSE
