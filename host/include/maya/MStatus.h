#pragma once
// Headless host: Maya's MStatus (2018 API).

#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MStatus {
  public:
    enum MStatusCode {
        kSuccess = 0,
        kFailure,
        kInsufficientMemory,
        kInvalidParameter,
        kLicenseFailure,
        kUnknownParameter,
        kNotImplemented,
        kNotFound,
        kEndOfFile
    };

    MStatus() = default;
    MStatus(MStatusCode code) : code_(code) {}
    MStatus(const MStatus&) = default;
    MStatus& operator=(const MStatus&) = default;

    bool operator==(const MStatus& other) const { return code_ == other.code_; }
    bool operator==(MStatusCode code) const { return code_ == code; }
    bool operator!=(const MStatus& other) const { return code_ != other.code_; }
    bool operator!=(MStatusCode code) const { return code_ != code; }
    operator bool() const { return code_ == kSuccess; }

    bool error() const { return code_ != kSuccess; }
    void clear() { code_ = kSuccess; }
    MStatusCode statusCode() const { return code_; }
    MString errorString() const;
    void perror(const char* text) const;
    void perror(const MString& text) const;

  private:
    MStatusCode code_ = kSuccess;
};

OPENMAYA_NAMESPACE_CLOSE

typedef MStatus MS;

#define CHECK_MSTATUS(status)                    \
    do {                                         \
        MStatus _maya_status = (status);         \
        if (MStatus::kSuccess != _maya_status) { \
            _maya_status.perror(#status);        \
        }                                        \
    } while (0)

#define CHECK_MSTATUS_AND_RETURN_IT(status)      \
    do {                                         \
        MStatus _maya_status = (status);         \
        if (MStatus::kSuccess != _maya_status) { \
            _maya_status.perror(#status);        \
            return _maya_status;                 \
        }                                        \
    } while (0)

#define CHECK_MSTATUS_AND_RETURN(status, retVal) \
    do {                                         \
        MStatus _maya_status = (status);         \
        if (MStatus::kSuccess != _maya_status) { \
            _maya_status.perror(#status);        \
            return (retVal);                     \
        }                                        \
    } while (0)
