#include "script/CommandResult.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace headless::detail {

namespace {

// Commands run on the main thread only.
std::vector<ResultValue>& resultStack() {
    static std::vector<ResultValue> stack(1);
    return stack;
}

}  // namespace

std::string formatNumber(double value) {
    if (value == 0.0) return "0";
    char buffer[64];
    // Enough digits for the integer part, so that 90 prints as "90" and not "9e+01".
    const double magnitude = std::floor(std::log10(std::fabs(value)));
    const int first = magnitude >= 0 ? static_cast<int>(std::min(magnitude + 1, 15.0)) : 1;
    for (int precision = first; precision <= 15; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
        if (std::strtod(buffer, nullptr) == value) return buffer;
    }
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

void ResultValue::setBool(bool value) {
    clear();
    kind = Kind::Bool;
    numbers = {value ? 1.0 : 0.0};
}

void ResultValue::setInt(int value) {
    clear();
    kind = Kind::Int;
    numbers = {static_cast<double>(value)};
}

void ResultValue::setDouble(double value) {
    clear();
    kind = Kind::Double;
    numbers = {value};
}

void ResultValue::setString(std::string value) {
    clear();
    kind = Kind::String;
    texts = {std::move(value)};
}

void ResultValue::setStrings(std::vector<std::string> values) {
    clear();
    kind = Kind::StringArray;
    texts = std::move(values);
}

void ResultValue::appendInt(int value) {
    if (kind != Kind::IntArray) {
        clear();
        kind = Kind::IntArray;
    }
    numbers.push_back(value);
}

void ResultValue::appendDouble(double value) {
    if (kind != Kind::DoubleArray) {
        clear();
        kind = Kind::DoubleArray;
    }
    numbers.push_back(value);
}

void ResultValue::appendString(std::string value) {
    if (kind != Kind::StringArray) {
        clear();
        kind = Kind::StringArray;
    }
    texts.push_back(std::move(value));
}

std::vector<std::string> ResultValue::items() const {
    if (kind == Kind::String || kind == Kind::StringArray) return texts;
    std::vector<std::string> out;
    for (const double number : numbers) out.push_back(formatNumber(number));
    return out;
}

std::string ResultValue::text() const {
    std::string joined;
    for (const auto& item : items()) joined += (joined.empty() ? "" : " ") + item;
    return joined;
}

ResultValue& currentResult() {
    return resultStack().back();
}

void pushResult() {
    resultStack().emplace_back();
}

ResultValue popResult() {
    auto& stack = resultStack();
    if (stack.size() <= 1) return ResultValue();
    ResultValue top = std::move(stack.back());
    stack.pop_back();
    return top;
}

}  // namespace headless::detail
