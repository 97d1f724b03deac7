#pragma once
// What stands between a path and a file written there, said in words, and whether two paths
// name one file. Plain file-system checks, used before a save starts and when a write fails.

#include <filesystem>
#include <optional>
#include <string>

// The nearest folder of the chain above and including folder that exists as something other
// than a folder: the file that keeps the folder from being made. None when there is none.
std::optional<std::filesystem::path> fileInTheWay(const std::filesystem::path& folder);

// Why no file can be created at path: it is a folder, its folder does not exist, a file stands
// where a folder should, or else the system's reason (errorNumber, 0 when unknown).
std::string whyFileCannotBeCreated(const std::string& path, int errorNumber);

// Whether two paths name one file: the same file when both exist (links included), otherwise the
// same path once made absolute and normal with the links of their existing folders resolved,
// ignoring case where the file system there does.
bool sameFilePath(const std::string& first, const std::string& second);

// Whether the file name (the last part of path) is longer than a file system takes: 255 bytes,
// or on Windows 255 UTF-16 units.
bool fileNameTooLong(const std::string& path);
