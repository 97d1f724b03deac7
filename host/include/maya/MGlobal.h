#pragma once
// Headless host: Maya's MGlobal (the static functions plug-ins call).

#include <maya/MStatus.h>
#include <maya/MString.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MSelectionList;
class MStringArray;

class MGlobal {
  public:
    //! State in which Maya has been started.
    enum MMayaState { kInteractive, kBatch, kLibraryApp, kBaseUIMode };
    // kInteractive, or kBatch when the host runs as a batch session.
    static MMayaState mayaState(MStatus* ReturnStatus = nullptr);

    static void displayInfo(const MString& text);
    static void displayWarning(const MString& text);
    static void displayError(const MString& text);

    static MStatus executePythonCommand(const MString& command, bool displayEnabled = false,
                                        bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, bool displayEnabled = false,
                                  bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, int& result, bool displayEnabled = false,
                                  bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, double& result,
                                  bool displayEnabled = false, bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, MString& result,
                                  bool displayEnabled = false, bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, MStringArray& result,
                                  bool displayEnabled = false, bool undoEnabled = false);

    // Safe from any thread: the command runs on the main thread at the next idle event, which
    // never comes in batch mode.
    static MStatus executeCommandOnIdle(const MString& command, bool displayEnabled = false);

    enum MIdleTaskPriority { kHighIdlePriority, kLowIdlePriority, kVeryLowIdlePriority };
    typedef void (*MIdleTaskCallback)(void* clientData);
    // Safe from any thread: the task runs once on the main thread at the next idle event.
    static MStatus executeTaskOnIdle(MIdleTaskCallback task, void* clientData = nullptr,
                                     MIdleTaskPriority priority = kLowIdlePriority);

    static MStatus getSelectionListByName(const MString& name, MSelectionList& list);
};

OPENMAYA_NAMESPACE_CLOSE
