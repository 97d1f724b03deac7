#pragma once

#include <optional>
#include <string>

// The message a failed ensureParentFolder is shown with, as its first line.
inline constexpr const char* kCannotCreateOutputFolder = "Cannot create output directory.";

// Creates the missing folders above a file path. A bare file name lives in the current folder,
// which exists. When the folder cannot be made, or a file stands where it should be (that file is
// left alone), returns the line that names the folder and the reason; the caller shows it after
// kCannotCreateOutputFolder through the plug-in's messages. Nothing when the parent folder exists
// afterwards. Any thread: it shows nothing itself.
std::optional<std::string> ensureParentFolder(const std::string& path);
