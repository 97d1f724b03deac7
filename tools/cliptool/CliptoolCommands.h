#pragma once
// The clip tool's commands. Each writes its result to out and its errors to err, and returns the
// process exit code (0 on success).

#include <ostream>
#include <string>

int clipInfo(const std::string& clipPath, std::ostream& out, std::ostream& err);
int clipDump(const std::string& clipPath, std::ostream& out, std::ostream& err);
int clipCsv(const std::string& clipPath, std::ostream& out, std::ostream& err);
int clipMake(const std::string& csvPath, const std::string& clipPath, std::ostream& err);
