#pragma once
// Number text, one rule set for the phone's messages and the clip files. A number is read as the
// C library reads it (std::strtod, std::strtold: leading white space skipped, the longest
// decimal, hexadecimal, infinity or NaN prefix taken, the rest ignored), and the result says what
// went wrong instead of throwing. Plain decimals take an exact fast path that gives the same
// value. Where the wire and the file legitimately differ, NumberTextRules names the difference.

#include <cstddef>
#include <string_view>

enum class NumberTextResult {
    ok,
    notANumber,  // the text does not begin with a number (std::invalid_argument)
    outOfRange,  // the number does not fit (std::out_of_range)
};

struct NumberTextRules {
    // A phone's "name;" line carries the value 0; in a clip file an empty token is damage.
    bool emptyIsZero;
    // A phone's timestamp beyond the largest double is kept as an infinity (the frame is
    // dropped later, as any frame without a finite time); a clip file's is out of range.
    bool hugeTimeIsInfinite;
};

inline constexpr NumberTextRules kWireNumberRules{true, true};
inline constexpr NumberTextRules kClipNumberRules{false, false};

// A value, converted as std::strtod converts it.
NumberTextResult parseNumberValue(std::string_view text, const NumberTextRules& rules,
                                  double& value);

// A time, converted at long double precision (std::strtold) and held as a double.
NumberTextResult parseNumberTime(std::string_view text, const NumberTextRules& rules,
                                 double& value);

// A decimal integer from text[at] on, with an optional sign, as %d and std::strtol read it (no
// white space skipped); at moves past it. False when no digit follows or the magnitude exceeds
// limit.
bool readDecimalInteger(std::string_view text, std::size_t& at, long limit, long& value);
