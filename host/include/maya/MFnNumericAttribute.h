#pragma once
// Headless host: Maya's MFnNumericAttribute.

#include <maya/MFnAttribute.h>
#include <maya/MFnNumericData.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MFnNumericAttribute : public MFnAttribute {
  public:
    declareMFn(MFnNumericAttribute, MFnAttribute);
    declareMFnConstConstructor(MFnNumericAttribute, MFnAttribute);

    MObject create(const MString& fullName, const MString& briefName, MFnNumericData::Type unitType,
                   double defaultValue = 0, MStatus* returnStatus = nullptr);
    MFnNumericData::Type unitType(MStatus* returnStatus = nullptr) const;

    MStatus setMin(double minValue);
    MStatus setMax(double maxValue);
    MStatus setSoftMin(double minValue);
    MStatus setSoftMax(double maxValue);
    bool hasMin(MStatus* returnStatus = nullptr) const;
    bool hasMax(MStatus* returnStatus = nullptr) const;
    MStatus getMin(double& minValue) const;
    MStatus getMax(double& maxValue) const;
    MStatus setDefault(double value);
    MStatus getDefault(double& value);
};

OPENMAYA_NAMESPACE_CLOSE
