#include <maya/MGlobal.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

namespace {

const char* codeText(MStatus::MStatusCode code) {
    switch (code) {
        case MStatus::kSuccess:
            return "Success";
        case MStatus::kFailure:
            return "(kFailure): Unexpected Internal Failure";
        case MStatus::kInsufficientMemory:
            return "(kInsufficientMemory): Insufficient Memory";
        case MStatus::kInvalidParameter:
            return "(kInvalidParameter): Invalid Parameter";
        case MStatus::kLicenseFailure:
            return "(kLicenseFailure): License Failure";
        case MStatus::kUnknownParameter:
            return "(kUnknownParameter): Unknown Parameter";
        case MStatus::kNotImplemented:
            return "(kNotImplemented): Not Implemented";
        case MStatus::kNotFound:
            return "(kNotFound): Not Found";
        case MStatus::kEndOfFile:
            return "(kEndOfFile): End of File";
    }
    return "(unknown status)";
}

}  // namespace

MString MStatus::errorString() const {
    return MString(codeText(code_));
}

void MStatus::perror(const char* text) const {
    perror(MString(text));
}

// Maya prints "<text>: <status text>" to the script output's error stream.
void MStatus::perror(const MString& text) const {
    MGlobal::displayError(text + ": " + errorString());
}
