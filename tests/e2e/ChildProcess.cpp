#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <memory>

#include "Descriptor.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct FileActions {
    posix_spawn_file_actions_t actions;
    FileActions() { posix_spawn_file_actions_init(&actions); }
    ~FileActions() { posix_spawn_file_actions_destroy(&actions); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
};

std::vector<std::string> mergedEnvironment(const std::map<std::string, std::string>& overrides) {
    std::vector<std::string> merged;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        if (overrides.count(name) == 0) merged.push_back(text);
    }
    for (const auto& [name, value] : overrides) merged.push_back(name + "=" + value);
    return merged;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (auto& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Waits until fd is readable (or hung up); false when the deadline came first.
bool waitReadable(int fd, Clock::time_point deadline) {
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        pollfd watched{fd, POLLIN, 0};
        const int ready = ::poll(&watched, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        return ready != 0;
    }
}

// Reads until end of file or the deadline; false when the deadline came first.
bool readToEnd(int fd, Clock::time_point deadline, std::string& output,
               const std::function<void(const char*, std::size_t)>& onOutput) {
    char buffer[4096];
    for (;;) {
        if (!waitReadable(fd, deadline)) return false;
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return true;
        output.append(buffer, static_cast<std::size_t>(got));
        if (onOutput) onOutput(buffer, static_cast<std::size_t>(got));
    }
}

}  // namespace

std::string ChildRun::describe() const {
    if (!started) return "the program could not be started";
    if (timedOut) return "killed at its deadline";
    if (signal != 0) return "ended by signal " + std::to_string(signal);
    return "exited with status " + std::to_string(exitCode);
}

ChildRun runChildProcess(const std::vector<std::string>& argv,
                         const std::map<std::string, std::string>& environment,
                         std::chrono::milliseconds deadline,
                         const std::function<void(const char*, std::size_t)>& onOutput) {
    ChildRun run;
    const auto end = Clock::now() + deadline;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        run.output = std::string("pipe: ") + std::strerror(errno);
        return run;
    }
    Descriptor reading(ends[0]);
    Descriptor writing(ends[1]);

    FileActions files;
    posix_spawn_file_actions_adddup2(&files.actions, writing.get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&files.actions, writing.get(), STDERR_FILENO);
    posix_spawn_file_actions_addclosefrom_np(&files.actions, 3);

    std::vector<std::string> arguments = argv;
    std::vector<std::string> variables = mergedEnvironment(environment);
    std::vector<char*> argumentPointers = pointersTo(arguments);
    std::vector<char*> variablePointers = pointersTo(variables);
    pid_t child = 0;
    const int spawned = ::posix_spawn(&child, argumentPointers[0], &files.actions, nullptr,
                                      argumentPointers.data(), variablePointers.data());
    writing.reset();  // the child holds the only write end now: its exit ends our reading
    if (spawned != 0) {
        run.output = "posix_spawn " + argv[0] + ": " + std::strerror(spawned);
        return run;
    }
    run.started = true;

    run.timedOut = !readToEnd(reading.get(), end, run.output, onOutput);
    if (!run.timedOut) {
        // The output may end before the program does.
        const Descriptor process(static_cast<int>(::syscall(SYS_pidfd_open, child, 0)));
        if (process.get() >= 0) run.timedOut = !waitReadable(process.get(), end);
    }
    if (run.timedOut) ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status) && !run.timedOut) run.signal = WTERMSIG(status);
    return run;
}
