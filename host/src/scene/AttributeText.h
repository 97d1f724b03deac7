#pragma once
// A dynamic attribute's definition as the words of an "attribute" line: parent, names, kind,
// type, then flags, limits and default as "key value" pairs.

#include <memory>
#include <string>
#include <vector>

#include "core/Attribute.h"

namespace headless::detail {

// The words after "attribute"; the parent is named by its long name ("" for a root).
std::string formatAttributeDefinition(const Attribute& attribute);
// A new attribute, not linked to its parent; the parent's long name goes to `parentName`.
std::shared_ptr<Attribute> parseAttributeDefinition(const std::vector<std::string>& words,
                                                    std::size_t at, std::string& parentName,
                                                    std::string* error);

// The value (or none) can be stored in the attribute.
bool valueSuits(const Attribute& attribute, const Value& value);

}  // namespace headless::detail
