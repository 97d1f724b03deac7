#pragma once
// Owning handle and small helpers over libplist.

#include <plist/plist.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct PlistDeleter {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

// Null when text is no property list.
PlistPtr plistFromXml(const std::string& text);
std::string plistToXml(plist_t node);

std::optional<std::string> plistString(plist_t dict, const char* key);
std::optional<std::uint64_t> plistUnsigned(plist_t dict, const char* key);
