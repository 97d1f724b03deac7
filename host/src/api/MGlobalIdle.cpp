// MGlobal's idle-time functions and the session's state.

#include <maya/MGlobal.h>

#include <string>

#include <headless/Script.h>

#include "threaded/IdleQueue.h"
#include "threaded/MainLoop.h"

using namespace headless::detail;

MGlobal::MMayaState MGlobal::mayaState(MStatus* ReturnStatus) {
    if (ReturnStatus) *ReturnStatus = MStatus::kSuccess;
    return batchMode() ? kBatch : kInteractive;
}

MStatus MGlobal::executeCommandOnIdle(const MString& command, bool displayEnabled) {
    std::string script = command.asChar();
    IdleQueue::instance().post([script = std::move(script), displayEnabled] {
        headless::ScriptOptions options;
        options.echoResults = displayEnabled;
        headless::runScript(script, options);
    });
    return MStatus::kSuccess;
}

MStatus MGlobal::executeTaskOnIdle(MIdleTaskCallback task, void* clientData,
                                   MIdleTaskPriority priority) {
    if (!task) return MStatus::kInvalidParameter;
    const auto level = priority == kHighIdlePriority  ? IdleQueue::Priority::high
                       : priority == kLowIdlePriority ? IdleQueue::Priority::low
                                                      : IdleQueue::Priority::veryLow;
    IdleQueue::instance().post([task, clientData] { task(clientData); }, level);
    return MStatus::kSuccess;
}
