#pragma once
// Headless host: Maya's MArgList, a command's arguments as words.

#include <vector>

#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MArgList {
  public:
    MArgList() = default;

    unsigned int length(MStatus* returnStatus = nullptr) const;
    MString asString(unsigned int index, MStatus* returnStatus = nullptr) const;
    int asInt(unsigned int index, MStatus* returnStatus = nullptr) const;
    double asDouble(unsigned int index, MStatus* returnStatus = nullptr) const;
    bool asBool(unsigned int index, MStatus* returnStatus = nullptr) const;
    // Position of the flag ("-n" or "-name"), or kInvalidArgIndex.
    unsigned int flagIndex(const char* shortFlag, const char* longFlag = nullptr) const;

    MStatus addArg(const MString& arg);
    MStatus addArg(double arg);
    MStatus addArg(int arg);
    MStatus addArg(bool arg);

    static const unsigned int kInvalidArgIndex;

  private:
    std::vector<MString> words_;
};

OPENMAYA_NAMESPACE_CLOSE
