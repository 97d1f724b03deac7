#pragma once
// Builders for the attributes that the host's base node classes define.

#include <string>

#include <maya/MFnData.h>
#include <maya/MFnNumericData.h>
#include <maya/MObject.h>

namespace headless::detail {

MObject baseNumeric(const std::string& longName, const std::string& shortName,
                    MFnNumericData::Type type, double defaultValue);
MObject baseMessage(const std::string& longName, const std::string& shortName);
// A message array whose index does not matter and whose elements go when disconnected.
MObject baseMemberArray(const std::string& longName, const std::string& shortName);
MObject baseTyped(const std::string& longName, const std::string& shortName, MFnData::Type type);

}  // namespace headless::detail
