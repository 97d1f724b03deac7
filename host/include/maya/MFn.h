#pragma once
// Headless host: Maya's MFn::Type. The numbers of the plug-in node kinds are those of the 2018
// API; the others are the host's own and only need to be distinct.

#include <maya/MApiNamespace.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MFn {
  public:
    enum Type {
        kInvalid = 0,
        kBase = 1,
        kNamedObject = 2,
        kDependencyNode = 4,
        kAnimCurve = 7,
        kAnimCurveTimeToAngular = 8,
        kAnimCurveTimeToDistance = 9,
        kAnimCurveTimeToUnitless = 11,
        kDagNode = 107,
        kTransform = 110,
        kBlendShape = 336,
        kSet = 460,
        kTime = 515,
        kUnitConversion = 524,
        kAttribute = 554,
        kNumericAttribute = 555,
        kCompoundAttribute = 556,
        kTypedAttribute = 557,
        kMessageAttribute = 558,
        kUnitAttribute = 559,
        kData = 574,
        kStringData = 578,
        kStringArrayData = 579,
        kPluginDependNode = 455,
        kPluginObjectSet = 914,
        kPluginThreadedDevice = 1072,
        kLast = 1200
    };
};

OPENMAYA_NAMESPACE_CLOSE
