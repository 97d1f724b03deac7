#pragma once
// The words and texts that name the kinds of an enumeration, kept as one table in the order of the
// enumerators: a list reads as what it is, where a switch says "case" and "return" for each.

#include <cstddef>

// The text of kind, from texts in the enumerators' order; fallback for a value the table does not
// hold (only a cast can make one).
template <class Kind, std::size_t Count>
constexpr const char* kindText(Kind kind, const char* const (&texts)[Count], const char* fallback) {
    const auto index = static_cast<std::size_t>(kind);
    return index < Count ? texts[index] : fallback;
}
