#include "BatchScript.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

BatchScript& BatchScript::add(const std::string& statements) {
    const auto last = statements.find_last_not_of(" \t\n");
    text_ += statements.substr(0, last == std::string::npos ? 0 : last + 1);
    text_ += (last != std::string::npos && statements[last] == ';') ? "\n" : ";\n";
    return *this;
}

BatchScript& BatchScript::section(const std::string& key, const std::string& statements) {
    add("print " + quoted(beginMarker(key)));
    add(statements);
    return add("print " + quoted(endMarker(key)));
}

BatchScript& BatchScript::sleep(double seconds) {
    std::ostringstream text;
    text << "sleep " << seconds;
    return add(text.str());
}

BatchOutput::BatchOutput(std::string output) : output_(std::move(output)) {}

namespace {

// A session thread may print a message in the middle of another line, so markers and results
// are searched for anywhere in a line rather than expected at its start.
constexpr const char* kResult = "// Result: ";
constexpr const char* kClose = " //";

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace

bool BatchOutput::hasSection(const std::string& key) const {
    const auto begin = output_.find(BatchScript::beginMarker(key));
    return begin != std::string::npos &&
           output_.find(BatchScript::endMarker(key), begin) != std::string::npos;
}

std::vector<std::string> BatchOutput::lines(const std::string& key) const {
    const std::string beginMarker = BatchScript::beginMarker(key);
    const auto begin = output_.find(beginMarker);
    if (begin == std::string::npos) return {};
    const auto from = begin + beginMarker.size();
    const auto end = output_.find(BatchScript::endMarker(key), from);
    if (end == std::string::npos) return {};
    return splitLines(output_.substr(from, end - from));
}

std::vector<std::string> BatchOutput::results(const std::string& key) const {
    std::vector<std::string> found;
    for (const std::string& line : lines(key)) {
        const auto start = line.find(kResult);
        if (start == std::string::npos) continue;
        const auto from = start + std::string(kResult).size();
        const auto close = line.find(kClose, from);
        found.push_back(
            line.substr(from, close == std::string::npos ? std::string::npos : close - from));
    }
    return found;
}

std::string BatchOutput::lastResult(const std::string& key) const {
    const auto found = results(key);
    return found.empty() ? std::string() : found.back();
}

std::vector<double> BatchOutput::numbers(const std::string& key) const {
    std::vector<double> values;
    for (const std::string& text : results(key)) {
        char* end = nullptr;
        const double value = std::strtod(text.c_str(), &end);
        values.push_back(end != text.c_str() && *end == '\0' ? value : std::nan(""));
    }
    return values;
}

bool BatchOutput::shows(const std::string& key, const std::string& text) const {
    for (const std::string& line : lines(key)) {
        if (line.find(text) != std::string::npos) return true;
    }
    return false;
}

bool BatchOutput::showsAnywhere(const std::string& text) const {
    return output_.find(text) != std::string::npos;
}
