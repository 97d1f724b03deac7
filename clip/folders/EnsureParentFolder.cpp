#include "EnsureParentFolder.h"

#include "FilePathChecks.h"
#include "MessageSink.h"

#include <filesystem>
#include <system_error>

namespace {

// Posted, not shown: a writer thread may call this too. The message keeps its first line as it always was; the second says which folder, and why.
void showFailure(const std::filesystem::path& folder, const std::string& path, const std::string& reason) {
    postMessage(MessageKind::error, "Cannot create output directory.");
    postMessage(MessageKind::error, "The folder " + folder.string() + " for " + path + ": " + reason + ".");
}

}  // namespace

bool ensureParentFolder(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path parent = fs::path(path).parent_path();
    if (parent.empty()) return true;  // the current folder

    std::error_code error;
    const auto state = fs::status(parent, error);
    if (!error && fs::is_directory(state)) return true;
    if (!error && fs::exists(state)) {
        // Left alone, but no file can be written inside it.
        showFailure(parent, path, parent.string() + " is a file, not a folder");
        return false;
    }

    error.clear();
    fs::create_directories(parent, error);
    if (error || !fs::is_directory(parent, error)) {
        std::string reason = error ? error.message() : "it is not a folder";
        if (const auto file = fileInTheWay(parent)) reason = file->string() + " is a file, not a folder";
        showFailure(parent, path, reason);
        return false;
    }
    return true;
}
