#pragma once

// Child processes and a private X display for the tests that run the real
// program: Xvfb, the program itself, a window manager and the X tools that
// drive them. Everything started here is killed and reaped by its owner.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace orbe_test {

using namespace std::chrono_literals;

struct ProcessOptions {
    std::vector<std::string> argv;
    std::vector<std::string> env;  // the whole environment, "NAME=value"
    std::string cwd;               // empty: the test's own
    std::optional<unsigned> uid;   // run as this user (and gid), no groups
    std::optional<unsigned> gid;
    bool quiet = false;            // standard output and error to /dev/null
};

class Process {
public:
    Process() = default;
    explicit Process(const ProcessOptions& options);  // throws on failure to start
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();

    bool Started() const { return pid_ > 0; }
    bool Running();
    // The exit code (128 + signal when killed by one) once it ends within
    // the timeout; nothing while it is still running.
    std::optional<int> WaitExit(std::chrono::milliseconds timeout);
    void Kill();

private:
    int pid_ = -1;
    std::optional<int> status_;
};

struct RunResult {
    int code = -1;  // -1: did not end within the timeout (then killed)
    std::string out;
};
// Runs a command to its end, capturing its standard output.
RunResult RunCommand(const std::vector<std::string>& argv, const std::vector<std::string>& env,
              std::chrono::milliseconds timeout = 30s);

// Polls `done` until it holds or the timeout passes; true when it held.
template <class Predicate>
bool WaitFor(Predicate done, std::chrono::milliseconds timeout,
             std::chrono::milliseconds step = 100ms);

void SleepFor(std::chrono::milliseconds time);

// A fresh folder that removes itself with everything in it.
class TempDir {
public:
    explicit TempDir(const char* tag);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Xvfb on a display number the server picks itself.
class XServer {
public:
    XServer(int width, int height);
    const std::string& Display() const { return display_; }

private:
    Process process_;
    std::string display_;
};

template <class Predicate>
bool WaitFor(Predicate done, std::chrono::milliseconds timeout, std::chrono::milliseconds step) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        SleepFor(step);
    }
}

}  // namespace orbe_test
