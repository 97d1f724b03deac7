#pragma once
// Number conversion for the phone's "name;value" lines, with the semantics of std::stod and
// std::stold (leading white space skipped, longest decimal, hexadecimal, infinity or NaN prefix
// read, the rest ignored) but reported as a result instead of an exception.

#include <string_view>

enum class ValueParseResult {
    ok,
    invalidArgument,  // the text does not begin with a number (std::invalid_argument)
    outOfRange,       // the number does not fit (std::out_of_range)
};

// An empty text is the value 0.
ValueParseResult parseChannelValue(std::string_view text, double& value);

// The timestamp: converted at long double precision, then held as a double.
ValueParseResult parseTimestampValue(std::string_view text, double& value);
