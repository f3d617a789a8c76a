#include "XSession.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orbe_test {

namespace {

std::runtime_error SystemError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

int DecodeStatus(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

std::vector<char*> CStrings(const std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (const std::string& s : strings) pointers.push_back(const_cast<char*>(s.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// Runs in the forked child: only async-signal-safe calls until exec.
[[noreturn]] void ExecChild(const ProcessOptions& options, char* const* argv, char* const* envp,
                            int outFd) {
    if (outFd >= 0) {
        dup2(outFd, STDOUT_FILENO);
    } else if (options.quiet) {
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) dup2(null, STDOUT_FILENO);
    }
    if (options.quiet) {
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) dup2(null, STDERR_FILENO);
    }
    const int devNullIn = open("/dev/null", O_RDONLY);
    if (devNullIn >= 0) dup2(devNullIn, STDIN_FILENO);
    // Its own process group, so that a kill reaches whatever it starts.
    setpgid(0, 0);
    if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) _exit(126);
    if (options.gid && (setgroups(0, nullptr) != 0 || setgid(*options.gid) != 0)) _exit(126);
    if (options.uid && setuid(*options.uid) != 0) _exit(126);
    execve(argv[0], argv, envp);
    _exit(127);
}

pid_t Spawn(const ProcessOptions& options, int outFd) {
    std::vector<char*> argv = CStrings(options.argv);
    std::vector<char*> envp = CStrings(options.env);
    const pid_t pid = fork();
    if (pid < 0) throw SystemError("fork");
    if (pid == 0) ExecChild(options, argv.data(), envp.data(), outFd);
    return pid;
}

}  // namespace

void SleepFor(std::chrono::milliseconds time) { std::this_thread::sleep_for(time); }

Process::Process(const ProcessOptions& options) : pid_(Spawn(options, -1)) {}

Process::Process(Process&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)), status_(std::exchange(other.status_, std::nullopt)) {}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        Kill();
        pid_ = std::exchange(other.pid_, -1);
        status_ = std::exchange(other.status_, std::nullopt);
    }
    return *this;
}

Process::~Process() { Kill(); }

bool Process::Running() {
    if (pid_ <= 0 || status_) return false;
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
        status_ = DecodeStatus(status);
        return false;
    }
    return done == 0;
}

std::optional<int> Process::WaitExit(std::chrono::milliseconds timeout) {
    WaitFor([this] { return !Running(); }, timeout, 20ms);
    return status_;
}

void Process::Kill() {
    if (pid_ <= 0) return;
    if (!status_) {
        // The group first (anything the child started), then the child itself.
        kill(-pid_, SIGKILL);
        kill(pid_, SIGKILL);
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        status_ = DecodeStatus(status);
    }
    pid_ = -1;
}

RunResult RunCommand(const std::vector<std::string>& argv, const std::vector<std::string>& env,
              std::chrono::milliseconds timeout) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) throw SystemError("pipe");
    ProcessOptions options;
    options.argv = argv;
    options.env = env;
    pid_t pid = -1;
    try {
        pid = Spawn(options, pipeFds[1]);
    } catch (...) {
        close(pipeFds[0]);
        close(pipeFds[1]);
        throw;
    }
    close(pipeFds[1]);

    RunResult result;
    const auto end = std::chrono::steady_clock::now() + timeout;
    bool timedOut = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        pollfd poller{pipeFds[0], POLLIN, 0};
        const int ready = poll(&poller, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) {
            timedOut = ready == 0;
            break;
        }
        char buffer[4096];
        const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        result.out.append(buffer, static_cast<size_t>(got));
    }
    close(pipeFds[0]);
    if (timedOut) {
        kill(-pid, SIGKILL);
        kill(pid, SIGKILL);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.code = timedOut ? -1 : DecodeStatus(status);
    return result;
}

TempDir::TempDir(const char* tag) {
    std::string pattern = std::filesystem::temp_directory_path() / (std::string("orbe-") + tag + "-XXXXXX");
    if (!mkdtemp(pattern.data())) throw SystemError("mkdtemp");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

XServer::XServer(int width, int height) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) throw SystemError("pipe");
    // Only the write end reaches the server (inherited: no close-on-exec).
    fcntl(pipeFds[0], F_SETFD, FD_CLOEXEC);
    ProcessOptions options;
    options.argv = {"/usr/bin/Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0",
                    std::to_string(width) + "x" + std::to_string(height) + "x24", "-nolisten", "tcp",
                    "-noreset"};
    for (char** e = environ; *e; ++e) options.env.emplace_back(*e);
    options.quiet = true;
    try {
        process_ = Process(options);
    } catch (...) {
        close(pipeFds[0]);
        close(pipeFds[1]);
        throw;
    }
    close(pipeFds[1]);

    // The server writes its display number and a line end once it listens.
    std::string number;
    const auto end = std::chrono::steady_clock::now() + 60s;
    while (number.empty() || number.back() != '\n') {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        pollfd poller{pipeFds[0], POLLIN, 0};
        if (left.count() <= 0 || poll(&poller, 1, static_cast<int>(left.count())) <= 0) break;
        char c = 0;
        if (read(pipeFds[0], &c, 1) != 1) break;
        number += c;
    }
    close(pipeFds[0]);
    if (number.empty() || number.back() != '\n')
        throw std::runtime_error("Xvfb did not report its display within 60 s");
    number.pop_back();
    display_ = ":" + number;
}

}  // namespace orbe_test
