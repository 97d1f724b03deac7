#pragma once
// Headless host: Maya's MString (2018 API). Byte strings in the host's narrow encoding.

#include <iosfwd>
#include <string>

#include <maya/MStatus.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MStringArray;

class MString {
  public:
    MString() = default;
    MString(const char* text);
    MString(const char* text, int byteLength);
    MString(const MString&) = default;
    MString(MString&&) noexcept = default;
    MString& operator=(const MString&) = default;
    MString& operator=(MString&&) noexcept = default;
    MString& operator=(const char* text);
    ~MString() = default;

    MString& operator+=(const MString& other);
    MString& operator+=(const char* text);
    MString& operator+=(double value);
    MString& operator+=(int value);
    MString& operator+=(unsigned int value);

    bool operator==(const MString& other) const { return text_ == other.text_; }
    bool operator==(const char* text) const;
    bool operator!=(const MString& other) const { return text_ != other.text_; }
    bool operator!=(const char* text) const { return !(*this == text); }
    MString operator+(const MString& other) const;
    MString operator+(const char* other) const;
    MString operator+(double value) const;

    const char* asChar() const { return text_.c_str(); }
    const char* asChar(int& length) const;
    unsigned int length() const { return static_cast<unsigned int>(text_.size()); }
    unsigned int numChars() const { return length(); }
    void clear() { text_.clear(); }

    MStatus set(const char* text);
    MStatus set(const char* text, int byteLength);
    MStatus set(double value);
    MStatus set(double value, int precision);

    int index(char c) const;
    int rindex(char c) const;
    MString substring(int start, int end) const;  // inclusive end, as Maya's
    MStatus split(char separator, MStringArray& parts) const;
    MString& toLowerCase();
    MString& toUpperCase();

    bool isShort() const;
    short asShort() const;
    bool isInt() const;
    int asInt() const;
    bool isUnsigned() const;
    unsigned int asUnsigned() const;
    bool isFloat() const;
    float asFloat() const;
    bool isDouble() const;
    double asDouble() const;

    friend std::ostream& operator<<(std::ostream& out, const MString& text);
    friend MString operator+(const char* a, const MString& b);

  private:
    std::string text_;
};

OPENMAYA_NAMESPACE_CLOSE
