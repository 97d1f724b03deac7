#pragma once
// Numbers in clip text: fixed notation with exactly eight decimals on the way out; on the way in,
// the number text rules that the phone's messages follow too (transport/numbers), with the clip
// file's two differences (kClipNumberRules): an empty token and a time beyond the largest double
// are errors.

#include <cstddef>
#include <string_view>

// Enough for "-" and the 309 integer digits of the largest double, ".", eight decimals.
constexpr std::size_t kClipNumberMaxChars = 352;

// Writes value as printf("%.8f") would (correctly rounded, "-" kept for negatives that round to
// zero) into out, which holds kClipNumberMaxChars bytes. Returns the number of bytes written.
std::size_t formatClipNumber(double value, char* out);

// A frame value, converted as std::stod does. Throws std::invalid_argument when the token does not
// begin with a number and std::out_of_range when the number is out of the range of a double.
double parseClipValue(std::string_view token);

// A frame time, converted as std::stold does and held as a double. Throws as parseClipValue; a
// number beyond the largest double is out of range too rather than turning into infinity.
double parseClipTime(std::string_view token);
