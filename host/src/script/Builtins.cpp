#include "script/Interpreter.h"

namespace headless::detail {

void registerNodeCommands();
void registerAttributeCommands();
void registerConnectionCommands();
void registerPluginCommands();
// Main loop, time and evaluation.
void registerMainLoopCommands();
void registerTimeCommands();
void registerEvaluationCommands();
void registerFileCommands();
void registerPythonCommand();
void registerSceneQueryCommands();
void registerSessionInfoCommands();
// Keys and curves: setKeyframe, keyframe, cutKey, bakeResults.
void registerKeyCommands();
void registerBakeCommand();

void registerAllBuiltins() {
    static const bool registered = [] {
        registerNodeCommands();
        registerAttributeCommands();
        registerConnectionCommands();
        registerPluginCommands();
        registerMainLoopCommands();
        registerTimeCommands();
        registerEvaluationCommands();
        registerFileCommands();
        registerPythonCommand();
        registerSceneQueryCommands();
        registerSessionInfoCommands();
        registerKeyCommands();
        registerBakeCommand();
        return true;
    }();
    (void)registered;
}

}  // namespace headless::detail
