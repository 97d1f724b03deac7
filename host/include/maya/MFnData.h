#pragma once
// Headless host: Maya's MFnData (the data types of typed attributes).

#include <maya/MFnBase.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MFnData : public MFnBase {
  public:
    enum Type {
        kInvalid,
        kNumeric,
        kPlugin,
        kPluginGeometry,
        kString,
        kMatrix,
        kStringArray,
        kDoubleArray,
        kFloatArray,
        kIntArray,
        kPointArray,
        kVectorArray,
        kMatrixArray,
        kComponentList,
        kMesh,
        kLattice,
        kNurbsCurve,
        kNurbsSurface,
        kSphere,
        kDynArrayAttrs,
        kDynSweptGeometry,
        kSubdSurface,
        kNObject,
        kNId,
        kAny,
        kLast
    };

    MFn::Type type() const override { return MFn::kData; }
};

OPENMAYA_NAMESPACE_CLOSE
