#pragma once
// Runs a program as a child process with its standard output and error joined into one pipe,
// reads that pipe to its end and waits for the child, killing it when it overruns a deadline.

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

struct ChildRun {
    bool started = false;   // the program could be started at all
    bool timedOut = false;  // killed at the deadline
    int exitCode = -1;      // when it exited by itself
    int signal = 0;         // when a signal ended it
    std::string output;     // standard output and error, interleaved as written

    bool exitedWith(int code) const {
        return started && !timedOut && signal == 0 && exitCode == code;
    }
    std::string describe() const;  // how it ended, for failure messages
};

// argv[0] is the program's path. environment overrides (or adds) variables of this process's
// environment. Descriptors other than 0, 1 and 2 are not inherited, so sockets of this process
// close when it closes them. onOutput, when given, sees every piece of output as it arrives.
ChildRun runChildProcess(
    const std::vector<std::string>& argv, const std::map<std::string, std::string>& environment,
    std::chrono::milliseconds deadline,
    const std::function<void(const char* data, std::size_t size)>& onOutput = {});
