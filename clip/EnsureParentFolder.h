#pragma once

#include <string>

// Creates the missing folders above a file path. A bare file name lives in the current folder,
// which exists. Shows "Cannot create output directory." when a folder cannot be created; the
// caller goes on either way. Returns whether the parent folder exists afterwards.
bool ensureParentFolder(const std::string& path);
