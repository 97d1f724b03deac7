#pragma once
// Where a file is written before it is renamed into place, so that a failed write keeps the file
// that was there before.

#include <string>

// A short hidden name beside path (".lmra-<tag>-<n>.part"): the rename stays within one file
// system, and a file name of any length the file system takes leaves room for it. Several writes
// to one path may run at once, in this process or another: the counter keeps this process's names
// apart, the random tag other processes'.
std::string temporaryPathBeside(const std::string& path);
