#include <maya/MGlobal.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <utility>

namespace {

// Maya's text for each status code.
constexpr std::pair<MStatus::MStatusCode, const char*> kCodeTexts[] = {
    {MStatus::kSuccess, "Success"},
    {MStatus::kFailure, "(kFailure): Unexpected Internal Failure"},
    {MStatus::kInsufficientMemory, "(kInsufficientMemory): Insufficient Memory"},
    {MStatus::kInvalidParameter, "(kInvalidParameter): Invalid Parameter"},
    {MStatus::kLicenseFailure, "(kLicenseFailure): License Failure"},
    {MStatus::kUnknownParameter, "(kUnknownParameter): Unknown Parameter"},
    {MStatus::kNotImplemented, "(kNotImplemented): Not Implemented"},
    {MStatus::kNotFound, "(kNotFound): Not Found"},
    {MStatus::kEndOfFile, "(kEndOfFile): End of File"}};

const char* codeText(MStatus::MStatusCode code) {
    for (const auto& [entry, text] : kCodeTexts) {
        if (entry == code) return text;
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
