#include "scene/SceneText.h"

#include <cstdio>
#include <cstdlib>

namespace headless::detail {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// Reads a quoted string starting at line[i] == '"'; i ends past the closing quote.
bool readQuoted(const std::string& line, std::size_t& i, std::string& text, std::string* error) {
    for (++i; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            ++i;
            return true;
        }
        if (c != '\\') {
            text += c;
            continue;
        }
        if (++i >= line.size()) break;
        switch (line[i]) {
            case '\\':
                text += '\\';
                break;
            case '"':
                text += '"';
                break;
            case 'n':
                text += '\n';
                break;
            case 'r':
                text += '\r';
                break;
            case 't':
                text += '\t';
                break;
            case 'x': {
                const int high = i + 1 < line.size() ? hexDigit(line[i + 1]) : -1;
                const int low = i + 2 < line.size() ? hexDigit(line[i + 2]) : -1;
                if (high < 0 || low < 0) {
                    *error = "a \\x escape needs two hexadecimal digits";
                    return false;
                }
                text += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                *error = std::string("unknown escape \\") + line[i];
                return false;
        }
    }
    *error = "a string is not terminated";
    return false;
}

}  // namespace

std::string quoteText(const std::string& bytes) {
    static const char* const digits = "0123456789abcdef";
    std::string quoted = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\\':
                quoted += "\\\\";
                break;
            case '"':
                quoted += "\\\"";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\r':
                quoted += "\\r";
                break;
            case '\t':
                quoted += "\\t";
                break;
            default:
                if (byte < 0x20 || byte > 0x7e) {
                    quoted += "\\x";
                    quoted += digits[byte >> 4];
                    quoted += digits[byte & 0xf];
                } else {
                    quoted += c;
                }
        }
    }
    return quoted + "\"";
}

std::string formatExact(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

bool parseExact(const std::string& word, double& value) {
    if (word.empty()) return false;
    char* end = nullptr;
    value = std::strtod(word.c_str(), &end);
    return end == word.c_str() + word.size();
}

std::string formatTypeId(unsigned int id) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06x", id);
    return text;
}

bool parseTypeId(const std::string& word, unsigned int& id) {
    if (word.size() < 3 || word.size() > 10 || word[0] != '0' || (word[1] != 'x' && word[1] != 'X'))
        return false;
    unsigned long number = 0;
    for (std::size_t i = 2; i < word.size(); ++i) {
        const int digit = hexDigit(word[i]);
        if (digit < 0) return false;
        number = number * 16 + static_cast<unsigned long>(digit);
    }
    id = static_cast<unsigned int>(number);
    return true;
}

bool splitLine(const std::string& line, std::vector<std::string>& words, std::string* error) {
    words.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        if (isSpace(line[i])) {
            ++i;
            continue;
        }
        std::string word;
        if (line[i] == '"') {
            if (!readQuoted(line, i, word, error)) return false;
            if (i < line.size() && !isSpace(line[i])) {
                *error = "a string runs into the next word";
                return false;
            }
        } else {
            while (i < line.size() && !isSpace(line[i])) {
                if (line[i] == '"') {
                    *error = "a quote inside a word";
                    return false;
                }
                word += line[i++];
            }
        }
        words.push_back(std::move(word));
    }
    return true;
}

std::string formatValue(const Value& value) {
    if (const auto* number = std::get_if<double>(&value)) return "number " + formatExact(*number);
    if (const auto* text = std::get_if<std::string>(&value)) return "string " + quoteText(*text);
    if (const auto* texts = std::get_if<std::vector<std::string>>(&value)) {
        std::string words = "strings " + std::to_string(texts->size());
        for (const auto& text : *texts) words += " " + quoteText(text);
        return words;
    }
    return "none";
}

bool parseValue(const std::vector<std::string>& words, std::size_t& at, Value& value,
                std::string* error) {
    if (at >= words.size()) {
        *error = "a value is missing";
        return false;
    }
    const std::string& kind = words[at++];
    if (kind == "none") {
        value = std::monostate{};
        return true;
    }
    if (kind == "number" || kind == "string") {
        if (at >= words.size()) {
            *error = "the " + kind + " value is missing";
            return false;
        }
        if (kind == "string") {
            value = words[at++];
            return true;
        }
        double number = 0.0;
        if (!parseExact(words[at], number)) {
            *error = "'" + words[at] + "' is not a number";
            return false;
        }
        ++at;
        value = number;
        return true;
    }
    if (kind == "strings") {
        double count = 0.0;
        // Range first: converting an out-of-range double to an integer is undefined.
        if (at >= words.size() || !parseExact(words[at], count) ||
            !(count >= 0.0 && count <= static_cast<double>(words.size() - at - 1)) ||
            count != static_cast<double>(static_cast<std::size_t>(count))) {
            *error = "the string count does not match the strings given";
            return false;
        }
        ++at;
        const auto end = at + static_cast<std::size_t>(count);
        value = std::vector<std::string>(words.begin() + static_cast<long>(at),
                                         words.begin() + static_cast<long>(end));
        at = end;
        return true;
    }
    *error = "unknown value kind '" + kind + "'";
    return false;
}

}  // namespace headless::detail
