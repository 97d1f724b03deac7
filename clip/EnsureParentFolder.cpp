#include "EnsureParentFolder.h"

#include "MessageSink.h"

#include <filesystem>
#include <system_error>

bool ensureParentFolder(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path parent = fs::path(path).parent_path();
    if (parent.empty()) return true;  // the current folder

    std::error_code error;
    const auto state = fs::status(parent, error);
    if (!error && fs::exists(state)) return true;  // whatever it is, it is left alone

    error.clear();
    fs::create_directories(parent, error);
    if (error || !fs::is_directory(parent, error)) {
        postMessage(MessageKind::error, "Cannot create output directory.");
        return false;
    }
    return true;
}
