#pragma once

#include <string>

// Creates the missing folders above a file path. A bare file name lives in the current folder,
// which exists. When the folder cannot be made, or a file stands where it should be (that file is
// left alone), shows "Cannot create output directory." and a second line naming the folder and
// the reason. Main thread only. Returns whether the parent folder exists afterwards.
bool ensureParentFolder(const std::string& path);
