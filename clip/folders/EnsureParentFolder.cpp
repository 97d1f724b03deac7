#include "clip/folders/EnsureParentFolder.h"

#include "clip/folders/FilePathChecks.h"

#include <filesystem>
#include <system_error>

namespace {

// The message keeps its first line as it always was; this second line says which folder, and why.
std::string failure(const std::filesystem::path& folder, const std::string& path,
                    const std::string& reason) {
    return "The folder " + folder.string() + " for " + path + ": " + reason + ".";
}

}  // namespace

std::optional<std::string> ensureParentFolder(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path parent = fs::path(path).parent_path();
    if (parent.empty()) return std::nullopt;  // the current folder

    std::error_code error;
    const auto state = fs::status(parent, error);
    if (!error && fs::is_directory(state)) return std::nullopt;
    if (!error && fs::exists(state)) {
        // Left alone, but no file can be written inside it.
        return failure(parent, path, parent.string() + " is a file, not a folder");
    }

    error.clear();
    fs::create_directories(parent, error);
    if (error || !fs::is_directory(parent, error)) {
        std::string reason = error ? error.message() : "it is not a folder";
        if (const auto file = fileInTheWay(parent))
            reason = file->string() + " is a file, not a folder";
        return failure(parent, path, reason);
    }
    return std::nullopt;
}
