#include "script/Tokenizer.h"

#include <cctype>

namespace headless::detail {

bool tokenize(const std::string& script, std::vector<Statement>& statements, std::string* error) {
    Statement current;
    int line = 1;
    std::size_t statementStart = 0;
    const auto finish = [&](std::size_t end) {
        if (!current.words.empty()) {
            current.text = script.substr(statementStart, end - statementStart);
            statements.push_back(std::move(current));
        }
        current = Statement();
        current.line = line;
        statementStart = end + 1;
    };
    std::size_t i = 0;
    while (i < script.size()) {
        const char c = script[i];
        if (c == '\n') {
            ++line;
            ++i;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == ';') {
            finish(i);
            ++i;
        } else if (c == '/' && i + 1 < script.size() && script[i + 1] == '/') {
            while (i < script.size() && script[i] != '\n') ++i;
        } else if (c == '"') {
            Word word{"", true};
            const int startLine = line;
            ++i;
            bool closed = false;
            while (i < script.size()) {
                const char d = script[i++];
                if (d == '"') {
                    closed = true;
                    break;
                }
                if (d == '\n') ++line;
                if (d == '\\' && i < script.size()) {
                    const char e = script[i++];
                    word.text += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
                } else {
                    word.text += d;
                }
            }
            if (!closed) {
                *error = "Line " + std::to_string(startLine) + ": unterminated string.";
                return false;
            }
            if (current.words.empty()) current.line = startLine;
            current.words.push_back(std::move(word));
        } else {
            Word word;
            while (i < script.size()) {
                const char d = script[i];
                if (std::isspace(static_cast<unsigned char>(d)) || d == ';' || d == '"') break;
                if (d == '/' && i + 1 < script.size() && script[i + 1] == '/') break;
                word.text += d;
                ++i;
            }
            if (current.words.empty()) current.line = line;
            current.words.push_back(std::move(word));
        }
    }
    finish(script.size());
    return true;
}

}  // namespace headless::detail
