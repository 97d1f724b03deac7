#pragma once
// The words of a scene file line: bare words, "quoted" strings in which every byte outside
// printable ASCII is escaped, and numbers written so that they read back exactly.

#include <string>
#include <vector>

#include "core/Value.h"

namespace headless::detail {

// A quoted string that reads back as the same bytes (NUL and high bytes included).
std::string quoteText(const std::string& bytes);
// %.17g: reads back as the same double.
std::string formatExact(double value);
bool parseExact(const std::string& word, double& value);
std::string formatTypeId(unsigned int id);
bool parseTypeId(const std::string& word, unsigned int& id);

// Splits a line into words, quoted strings unescaped. False with a message on a malformed
// string.
bool splitLine(const std::string& line, std::vector<std::string>& words, std::string* error);

// A value as words: "none", "number X", "string S", "strings COUNT S...".
std::string formatValue(const Value& value);
// Reads a value starting at words[at]; `at` moves past it.
bool parseValue(const std::vector<std::string>& words, std::size_t& at, Value& value,
                std::string* error);

}  // namespace headless::detail
