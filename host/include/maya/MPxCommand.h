#pragma once
// Headless host: Maya's MPxCommand. The result functions are static, as in Maya: they set the
// result of the command that is running.

#include <maya/MArgList.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MPxCommand {
  public:
    MPxCommand() = default;
    MPxCommand(const MPxCommand&) = delete;
    MPxCommand& operator=(const MPxCommand&) = delete;
    virtual ~MPxCommand();

    virtual MStatus doIt(const MArgList& args) = 0;
    virtual MStatus undoIt();
    virtual MStatus redoIt();
    virtual bool isUndoable() const;
    virtual bool hasSyntax() const;

    static void setResult(bool result);
    static void setResult(int result);
    static void setResult(double result);
    static void setResult(const MString& result);
    static void setResult(const char* result);
    static void setResult(const MStringArray& result);
    static void appendToResult(int result);
    static void appendToResult(double result);
    static void appendToResult(const MString& result);
    static void appendToResult(const char* result);
    static void clearResult();

    static void displayInfo(const MString& text);
    static void displayWarning(const MString& text, bool showLineNumber = false);
    static void displayError(const MString& text, bool showLineNumber = false);
};

OPENMAYA_NAMESPACE_CLOSE
