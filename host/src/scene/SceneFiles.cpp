#include "scene/SceneFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/Scene.h"
#include "scene/SceneFormat.h"
#include "scene/SceneLoader.h"
#include "scene/SceneWriter.h"

namespace headless::detail {

namespace {

namespace fs = std::filesystem;

// Main thread only, as the scene itself.
std::string& sceneFile() {
    static std::string path;
    return path;
}

std::string absolutePath(const std::string& path) {
    std::error_code ignored;
    const fs::path absolute = fs::absolute(fs::path(path), ignored);
    return absolute.empty() ? path : absolute.lexically_normal().string();
}

// A file descriptor closed when it goes out of scope.
class OpenFile {
  public:
    explicit OpenFile(int fd) : fd_(fd) {}
    ~OpenFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    int fd() const { return fd_; }
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

bool writeAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// Creates a temporary file of a name no one else uses, beside the target.
int createTemporary(const std::string& target, std::string& temporary) {
    for (unsigned int attempt = 0; attempt < 100; ++attempt) {
        temporary =
            target + ".saving-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

const std::string& currentSceneFile() {
    return sceneFile();
}

void setCurrentSceneFile(const std::string& path) {
    sceneFile() = path.empty() ? path : absolutePath(path);
}

MStatus saveSceneFile(const std::string& pathIn, std::string* error) {
    if (pathIn.empty()) {
        *error = "file: give the path to save to; the scene has no file yet.";
        return MStatus::kInvalidParameter;
    }
    const std::string path = absolutePath(pathIn);
    std::error_code code;
    if (fs::is_directory(path, code)) {
        *error = "file: Cannot save \"" + path + "\": it is a folder.";
        return MStatus::kFailure;
    }
    const std::string text = formatScene(captureScene(Scene::instance()));
    std::string temporary;
    OpenFile file(createTemporary(path, temporary));
    if (file.fd() < 0) {
        *error = "file: Cannot save \"" + path + "\": " + std::strerror(errno) + ".";
        return MStatus::kFailure;
    }
    const bool written = writeAll(file.fd(), text) && ::fsync(file.fd()) == 0;
    const int writeError = errno;
    if (!file.close() || !written) {
        ::unlink(temporary.c_str());
        *error = "file: Cannot save \"" + path +
                 "\": " + std::strerror(written ? errno : writeError) + ".";
        return MStatus::kFailure;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int renameError = errno;
        ::unlink(temporary.c_str());
        *error = "file: Cannot save \"" + path + "\": " + std::strerror(renameError) + ".";
        return MStatus::kFailure;
    }
    sceneFile() = path;
    return MStatus::kSuccess;
}

MStatus openSceneFile(const std::string& pathIn, std::string* error) {
    const std::string path = absolutePath(pathIn);
    std::error_code code;
    if (fs::is_directory(path, code)) {
        *error = "file: Cannot open \"" + path + "\": it is a folder.";
        return MStatus::kFailure;
    }
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        *error = "file: Cannot open \"" + path + "\": " + std::strerror(errno) + ".";
        return MStatus::kNotFound;
    }
    std::ostringstream content;
    content << stream.rdbuf();
    if (stream.bad()) {
        *error = "file: Cannot read \"" + path + "\".";
        return MStatus::kFailure;
    }
    SceneDocument document;
    std::string problem;
    if (!parseScene(content.str(), document, &problem)) {
        *error = "file: \"" + path + "\" is not a valid scene file (" + problem +
                 "); the scene was not opened.";
        return MStatus::kFailure;
    }
    SceneLoader loader(document, path);
    if (!loader.check(&problem)) {
        *error = "file: " + problem;
        return MStatus::kFailure;
    }
    loader.build();
    sceneFile() = path;
    return MStatus::kSuccess;
}

}  // namespace headless::detail
