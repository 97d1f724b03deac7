#pragma once
// Reading the words of the host's own commands: finite numbers and query mode.

#include <string>
#include <vector>

#include "script/Tokenizer.h"

namespace headless::detail {

// The whole text is one finite number.
bool parseFiniteNumber(const std::string& text, double& number);
// The command was given -q / -query (unquoted).
bool isQuery(const std::vector<Word>& words);

}  // namespace headless::detail
