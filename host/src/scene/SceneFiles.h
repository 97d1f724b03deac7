#pragma once
// Scene files on disk: saving (atomically) and opening, and the scene's current file. Main
// thread only.

#include <string>

#include <maya/MStatus.h>

namespace headless::detail {

// Writes the scene to a temporary file beside the target and renames it over the target, so
// that a failed save leaves the previous file as it was. A relative path is taken against the
// current folder. The saved file becomes the scene's file.
MStatus saveSceneFile(const std::string& path, std::string* error);
// Reads and checks the whole file before the current scene is replaced; a file that cannot be
// opened leaves the scene as it was.
MStatus openSceneFile(const std::string& path, std::string* error);
// The scene's file (absolute), empty for a scene never saved or opened.
const std::string& currentSceneFile();
void setCurrentSceneFile(const std::string& path);

}  // namespace headless::detail
