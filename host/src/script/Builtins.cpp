#include "script/Interpreter.h"

namespace headless::detail {

void registerNodeCommands();
void registerAttributeCommands();
void registerConnectionCommands();
void registerPluginCommands();

void registerAllBuiltins() {
    static const bool registered = [] {
        registerNodeCommands();
        registerAttributeCommands();
        registerConnectionCommands();
        registerPluginCommands();
        return true;
    }();
    (void)registered;
}

}  // namespace headless::detail
