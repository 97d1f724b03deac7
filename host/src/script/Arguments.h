#pragma once
// Flags and positional words of a built-in command. Flags are given as "short|long"; a word
// that starts with '-' and a letter is a flag unless it was quoted. Scripts and maya.cmds both
// reach the commands through this parser: a keyword flag from Python arrives as its flag word,
// followed by its value words (a bool as a switch value).

#include <map>
#include <string>
#include <vector>

#include "script/Tokenizer.h"

namespace headless::detail {

class Arguments {
  public:
    // False with a message on an unknown flag or a flag that lacks its value.
    bool parse(const std::vector<Word>& words, const std::vector<std::string>& valueFlags,
               const std::vector<std::string>& switchFlags, std::string* error);

    bool has(const std::string& flag) const { return values_.count(canonical(flag)) > 0; }
    // The value given last to the flag, or "".
    std::string value(const std::string& flag) const;
    // Every value given to a flag that may be repeated, in order.
    std::vector<std::string> values(const std::string& flag) const;
    const std::vector<std::string>& positional() const { return positional_; }

  private:
    std::string canonical(const std::string& flag) const;

    std::map<std::string, std::string> aliases_;  // each spelling -> "short|long"
    std::map<std::string, std::vector<std::string>> values_;
    std::vector<std::string> positional_;
};

}  // namespace headless::detail
