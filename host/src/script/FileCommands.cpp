// The built-in file command: -new, -open PATH, -save [PATH], -rename PATH and
// -query -sceneName.

#include <maya/MSceneMessage.h>

#include "core/Scene.h"
#include "scene/SceneFiles.h"
#include "script/Arguments.h"
#include "script/Interpreter.h"

namespace headless::detail {

namespace {

MStatus file(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(args, {},
                 {"new|new", "o|open", "s|save", "rn|rename", "f|force", "q|query", "sn|sceneName"},
                 error)) {
        return MStatus::kInvalidParameter;
    }
    const auto& words = a.positional();
    if (a.has("q")) {
        if (!a.has("sn") || !words.empty()) {
            *error = "file: only -query -sceneName is supported.";
            return MStatus::kInvalidParameter;
        }
        result.setString(currentSceneFile());
        return MStatus::kSuccess;
    }
    const int actions = int(a.has("new")) + int(a.has("o")) + int(a.has("s")) + int(a.has("rn"));
    if (actions != 1 || words.size() > 1 || (words.empty() && (a.has("o") || a.has("rn"))) ||
        (!words.empty() && a.has("new"))) {
        *error = "file: give one of -new, -open PATH, -save [PATH], -rename PATH.";
        return MStatus::kInvalidParameter;
    }
    if (a.has("new")) {
        postSceneMessage(MSceneMessage::kBeforeNew);
        Scene::instance().reset();
        setCurrentSceneFile("");
        postSceneMessage(MSceneMessage::kAfterNew);
        return MStatus::kSuccess;
    }
    if (a.has("rn")) {
        setCurrentSceneFile(words[0]);
        result.setString(currentSceneFile());
        return MStatus::kSuccess;
    }
    const std::string path = words.empty() ? currentSceneFile() : words[0];
    if (a.has("o")) postSceneMessage(MSceneMessage::kBeforeOpen);
    const MStatus status = a.has("o") ? openSceneFile(path, error) : saveSceneFile(path, error);
    if (status) result.setString(currentSceneFile());
    if (status && a.has("o")) postSceneMessage(MSceneMessage::kAfterOpen);
    return status;
}

}  // namespace

void registerFileCommands() {
    registerBuiltin("file", file);
}

}  // namespace headless::detail
