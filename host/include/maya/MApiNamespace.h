#pragma once
// Headless host: Maya's MApiNamespace.h. As in Maya, the API's classes live in a namespace named
// after the API's major version and reach plug-in code through using-declarations in the global
// namespace. So a plug-in must declare them by including their headers: a bare global
// "class MPlug;" conflicts with the using-declaration here, as it does in Maya.

#define AUTODESK_NAMESPACE Autodesk
#define MAYA_NAMESPACE Maya
#define OPENMAYA_NAMESPACE_OPEN(API_VERSION) \
    namespace AUTODESK_NAMESPACE {           \
    namespace MAYA_NAMESPACE {               \
    namespace API_VERSION {
#define OPENMAYA_NAMESPACE_CLOSE \
    }                            \
    }                            \
    }
#define OPENMAYA_NAMESPACE_SCHEMA(API_VERSION) AUTODESK_NAMESPACE::MAYA_NAMESPACE::API_VERSION

// The host stands for the 2018 API (MAYA_API_VERSION 20180700).
#define OPENMAYA_MAJOR_NAMESPACE OpenMaya20180000
#define OPENMAYA_MAJOR_NAMESPACE_OPEN OPENMAYA_NAMESPACE_OPEN(OPENMAYA_MAJOR_NAMESPACE)
#define OPENMAYA_MAJOR_NAMESPACE_SCHEMA OPENMAYA_NAMESPACE_SCHEMA(OPENMAYA_MAJOR_NAMESPACE)

// Every class the host offers, whichever header defines it.
// clang-format off
#define LMRA_HOST_API_CLASSES(X)                                                                   \
    X(MAngle) X(MArgList) X(MArrayDataHandle) X(MCallbackIdArray) X(MCharBuffer)                   \
    X(MCommandMessage) X(MDGContext) X(MDGModifier) X(MDataBlock) X(MDataHandle) X(MDistance)      \
    X(MEulerRotation) X(MEvaluationNode) X(MFn) X(MFnAttribute) X(MFnBase)                         \
    X(MFnCompoundAttribute) X(MFnData) X(MFnDependencyNode) X(MFnMessageAttribute)                 \
    X(MFnNumericAttribute) X(MFnNumericData) X(MFnPlugin) X(MFnStringArrayData) X(MFnStringData)   \
    X(MFnTypedAttribute) X(MFnUnitAttribute) X(MGlobal) X(MIntArray) X(MMatrix) X(MMessage)        \
    X(MNodeMessage) X(MObject) X(MObjectArray) X(MPlug) X(MPlugArray) X(MPoint) X(MPxCommand)      \
    X(MPxNode) X(MPxObjectSet) X(MPxThreadedDeviceNode) X(MSceneMessage) X(MSelectionList)         \
    X(MSpace) X(MStatus) X(MString) X(MStringArray) X(MSyntax) X(MTime) X(MTransformationMatrix)   \
    X(MTypeId) X(MUserEventMessage) X(MVector)
// clang-format on

#define LMRA_HOST_DECLARE_CLASS(name) class name;
#define LMRA_HOST_USE_CLASS(name) using OPENMAYA_MAJOR_NAMESPACE_SCHEMA::name;

OPENMAYA_MAJOR_NAMESPACE_OPEN
LMRA_HOST_API_CLASSES(LMRA_HOST_DECLARE_CLASS)
OPENMAYA_NAMESPACE_CLOSE

LMRA_HOST_API_CLASSES(LMRA_HOST_USE_CLASS)

#undef LMRA_HOST_DECLARE_CLASS
#undef LMRA_HOST_USE_CLASS
