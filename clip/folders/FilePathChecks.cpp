#include "clip/folders/FilePathChecks.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace fs = std::filesystem;

namespace {

fs::path normalised(const std::string& text) {
    std::error_code error;
    fs::path path = fs::absolute(fs::path(text), error);
    if (error) path = fs::path(text);
    const fs::path resolved = fs::weakly_canonical(path, error);
    return (error ? path : resolved).lexically_normal();
}

std::string folded(const std::string& text) {
    std::string result = text;
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

std::string swappedCase(const std::string& text) {
    std::string result = text;
    for (char& c : result) {
        const auto u = static_cast<unsigned char>(c);
        c = static_cast<char>(std::islower(u) ? std::toupper(u) : std::tolower(u));
    }
    return result;
}

// Whether names differing only in case name one entry where path lies: the nearest existing
// folder with a letter in its name is looked up under the other case.
bool ignoresCase(const fs::path& path) {
    std::error_code error;
    for (fs::path folder = path.parent_path(); !folder.empty() && folder != folder.parent_path();
         folder = folder.parent_path()) {
        const std::string name = folder.filename().string();
        const std::string other = swappedCase(name);
        if (other == name || !fs::is_directory(folder, error)) continue;
        const fs::path flipped = folder.parent_path() / other;
        return fs::exists(flipped, error) && fs::equivalent(folder, flipped, error);
    }
#if defined(_WIN32) || defined(__APPLE__)
    return true;  // their usual file systems, when nothing above can be probed
#else
    return false;
#endif
}

}  // namespace

std::optional<fs::path> fileInTheWay(const fs::path& folder) {
    std::error_code error;
    for (fs::path at = folder; !at.empty(); at = at.parent_path()) {
        const auto state = fs::status(at, error);
        if (fs::exists(state)) {
            if (fs::is_directory(state)) return std::nullopt;
            return at;
        }
        if (at == at.parent_path()) break;
    }
    return std::nullopt;
}

std::string whyFileCannotBeCreated(const std::string& path, int errorNumber) {
    std::error_code error;
    if (fs::is_directory(path, error)) return "it is a folder";
    const fs::path folder = fs::path(path).parent_path();
    if (!folder.empty()) {
        if (const auto file = fileInTheWay(folder))
            return file->string() + " is a file, not a folder";
        if (!fs::exists(folder, error)) return "its folder " + folder.string() + " does not exist";
    }
    return errorNumber != 0 ? std::generic_category().message(errorNumber) : "it cannot be created";
}

bool sameFilePath(const std::string& first, const std::string& second) {
    if (first.empty() || second.empty()) return false;
    std::error_code error;
    if (fs::equivalent(first, second, error) && !error) return true;
    const fs::path a = normalised(first);
    const fs::path b = normalised(second);
    if (a == b) return true;
    return folded(a.string()) == folded(b.string()) && ignoresCase(a);
}

bool fileNameTooLong(const std::string& path) {
    constexpr std::size_t kLongestFileName = 255;
#ifdef _WIN32
    return fs::path(path).filename().wstring().size() > kLongestFileName;
#else
    return fs::path(path).filename().native().size() > kLongestFileName;
#endif
}
