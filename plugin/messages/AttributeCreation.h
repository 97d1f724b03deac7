#pragma once
// The attribute shapes the plug-in's node types share in their initialize(). Each returns the
// status of the first call that failed without showing it: the caller checks it with LMRA_CHECK,
// which names the call and the node's file.

#include <initializer_list>

#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

namespace lmra {

// A numeric attribute whose long and short names are both name; fn is left attached to it so
// that the caller can go on setting its flags.
MStatus createNumeric(MFnNumericAttribute& fn, MObject& attribute, const char* name,
                      MFnNumericData::Type type, double defaultValue);

// The same for an attribute that keeps Maya's default flags, which needs no function set after.
MStatus createNumeric(MObject& attribute, const char* name, MFnNumericData::Type type,
                      double defaultValue);

// The same for an output that the node computes: neither writable nor saved.
MStatus createNumericOutput(MFnNumericAttribute& fn, MObject& attribute, const char* name,
                            MFnNumericData::Type type, double defaultValue);

// An array of compound elements named name (long and short) holding children.
MStatus createCompoundArray(MFnCompoundAttribute& fn, MObject& attribute, const char* name,
                            std::initializer_list<MObject> children);

// The hidden, saved string list "order" that keeps a set's members in the user's order.
MStatus createOrderList(MFnTypedAttribute& fn, MObject& order);

}  // namespace lmra
