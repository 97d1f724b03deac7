#include <maya/MGlobal.h>
#include <maya/MPxCommand.h>

#include "script/CommandResult.h"

using headless::detail::currentResult;

MPxCommand::~MPxCommand() = default;

MStatus MPxCommand::undoIt() {
    return MStatus::kFailure;
}
MStatus MPxCommand::redoIt() {
    return MStatus::kFailure;
}
bool MPxCommand::isUndoable() const {
    return false;
}
bool MPxCommand::hasSyntax() const {
    return true;
}

void MPxCommand::setResult(bool result) {
    currentResult().setBool(result);
}
void MPxCommand::setResult(int result) {
    currentResult().setInt(result);
}
void MPxCommand::setResult(double result) {
    currentResult().setDouble(result);
}
void MPxCommand::setResult(const MString& result) {
    currentResult().setString(result.asChar());
}
void MPxCommand::setResult(const char* result) {
    currentResult().setString(result ? result : "");
}

void MPxCommand::setResult(const MStringArray& result) {
    std::vector<std::string> texts;
    for (unsigned int i = 0; i < result.length(); ++i) texts.emplace_back(result[i].asChar());
    currentResult().setStrings(std::move(texts));
}

void MPxCommand::appendToResult(int result) {
    currentResult().appendInt(result);
}
void MPxCommand::appendToResult(double result) {
    currentResult().appendDouble(result);
}
void MPxCommand::appendToResult(const MString& result) {
    currentResult().appendString(result.asChar());
}
void MPxCommand::appendToResult(const char* result) {
    currentResult().appendString(result ? result : "");
}
void MPxCommand::clearResult() {
    currentResult().clear();
}

void MPxCommand::displayInfo(const MString& text) {
    MGlobal::displayInfo(text);
}
void MPxCommand::displayWarning(const MString& text, bool) {
    MGlobal::displayWarning(text);
}
void MPxCommand::displayError(const MString& text, bool) {
    MGlobal::displayError(text);
}
