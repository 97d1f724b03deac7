#pragma once
// Headless host: Maya's MDataHandle, one value of a node's data block during compute.

#include <memory>
#include <vector>

#include <maya/MFnNumericData.h>
#include <maya/MObject.h>
#include <maya/MString.h>
#include <maya/MTime.h>

#include <headless/detail/HostTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MPlug;

class MDataHandle {
  public:
    MDataHandle() = default;
    MDataHandle(const MDataHandle&) = default;
    MDataHandle& operator=(const MDataHandle&) = default;
    ~MDataHandle() = default;

    bool isNumeric() const;
    MFnNumericData::Type numericType() const;
    MObject attribute();

    bool asBool() const;
    char asChar() const;
    short asShort() const;
    int asInt() const;
    int asLong() const { return asInt(); }
    float asFloat() const;
    double asDouble() const;
    MString& asString() const;
    MTime asTime() const;
    MObject data();

    void set(bool value);
    void set(short value);
    void set(int value);
    void set(float value);
    void set(double value);
    void set(const MString& value);
    void set(const MTime& value);
    MStatus set(const MObject& data);
    void setBool(bool value) { set(value); }
    void setShort(short value) { set(value); }
    void setInt(int value) { set(value); }
    void setFloat(float value) { set(value); }
    void setDouble(double value) { set(value); }
    void setString(const MString& value) { set(value); }
    void setMTime(const MTime& value) { set(value); }

    void setClean();
    MDataHandle child(const MObject& attribute);
    MDataHandle child(const MPlug& plug);

  private:
    friend struct headless::detail::HostAccess;
    friend class MArrayDataHandle;
    friend class MDataBlock;
    MDataHandle(headless::detail::Node* node,
                std::shared_ptr<headless::detail::Attribute> attribute,
                std::vector<unsigned int> indices);

    double number() const;
    void setNumber(double value);

    headless::detail::Node* node_ = nullptr;  // valid while the compute that made it runs
    std::shared_ptr<headless::detail::Attribute> attribute_;
    std::vector<unsigned int> indices_;
    mutable MString text_;  // asString() hands out a reference, as Maya's does
};

OPENMAYA_NAMESPACE_CLOSE
