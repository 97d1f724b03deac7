#include "IsolatedRun.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace {

SoakFigures failure(const std::string& why) {
    SoakFigures figures;
    std::snprintf(figures.error, sizeof figures.error, "%s", why.c_str());
    return figures;
}

bool writeAll(int fd, const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

std::size_t readAll(int fd, void* data, std::size_t size) {
    char* bytes = static_cast<char*>(data);
    std::size_t total = 0;
    while (total < size) {
        const ssize_t got = ::read(fd, bytes + total, size - total);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        total += static_cast<std::size_t>(got);
    }
    return total;
}

[[noreturn]] void runChild(const std::function<SoakFigures()>& measure, int fd) {
    SoakFigures figures;
    try {
        figures = measure();
    } catch (const std::exception& error) {
        figures = failure(std::string("exception: ") + error.what());
    }
    const bool sent = writeAll(fd, &figures, sizeof figures);
    std::fflush(nullptr);
    // No exit handlers: they belong to the parent's copy of the program.
    ::_exit(sent ? 0 : 1);
}

}  // namespace

SoakFigures runIsolated(const std::function<SoakFigures()>& measure) {
    int fds[2];
    if (::pipe(fds) != 0) return failure(std::string("pipe: ") + std::strerror(errno));
    std::fflush(nullptr);  // the child must not print the parent's buffered output again
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return failure(std::string("fork: ") + std::strerror(errno));
    }
    if (child == 0) {
        ::close(fds[0]);
        runChild(measure, fds[1]);
    }
    ::close(fds[1]);
    SoakFigures figures;
    const std::size_t got = readAll(fds[0], &figures, sizeof figures);
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (got != sizeof figures) {
        if (WIFSIGNALED(status))
            return failure("the measuring process died of signal " +
                           std::to_string(WTERMSIG(status)));
        return failure("the measuring process answered nothing (exit status " +
                       std::to_string(WEXITSTATUS(status)) + ")");
    }
    return figures;
}
