#pragma once
// The result a command gives, and the stack of results of the commands that are running (a
// command may run another through MGlobal::executeCommand).

#include <string>
#include <vector>

namespace headless::detail {

struct ResultValue {
    enum class Kind { None, Bool, Int, Double, String, IntArray, DoubleArray, StringArray };
    Kind kind = Kind::None;
    std::vector<double> numbers;
    std::vector<std::string> texts;
    bool compound = false;  // an array of the values of one compound plug's children

    void setBool(bool value);
    void setInt(int value);
    void setDouble(double value);
    void setString(std::string value);
    void setStrings(std::vector<std::string> values);
    void appendInt(int value);
    void appendDouble(double value);
    void appendString(std::string value);
    void clear() { *this = ResultValue(); }
    bool empty() const { return kind == Kind::None; }
    // As Maya's script editor echoes it: numbers like %g, arrays space-separated.
    std::string text() const;
    std::vector<std::string> items() const;
};

// The result of the innermost running command; a scratch value when none runs.
ResultValue& currentResult();
void pushResult();
ResultValue popResult();

// Shortest text that reads back as the same double (at most 15 significant digits).
std::string formatNumber(double value);

}  // namespace headless::detail
