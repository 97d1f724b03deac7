#pragma once
// Splits a Maya-style command script into statements of words: words are separated by white
// space, "double-quoted strings" are one word (with \" \\ \n \t escapes), ';' ends a
// statement, '//' starts a comment that runs to the end of the line.

#include <string>
#include <vector>

namespace headless::detail {

struct Word {
    std::string text;
    bool quoted = false;
    // A Python bool given to a keyword flag ("1" or "0"): a flag that takes no value is set by
    // True and left out by False.
    bool switchValue = false;
};

struct Statement {
    std::vector<Word> words;
    int line = 1;
    std::string text;  // the statement as written, for messages
};

// False (with a message) on an unterminated string; the statements before it are kept.
bool tokenize(const std::string& script, std::vector<Statement>& statements, std::string* error);

}  // namespace headless::detail
