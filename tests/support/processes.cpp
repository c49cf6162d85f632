#include "support/processes.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace plu::testing {

namespace {

std::vector<char*> Argv(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return argv;
}

pid_t Spawn(const std::vector<std::string>& args, int* outFd, int* errFd) {
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    pid_t pid = -1;
    std::vector<char*> argv = Argv(args);
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    if (rc != 0) {
        close(out[0]);
        close(err[0]);
        throw std::runtime_error("cannot start " + args[0] + ": " + std::strerror(rc));
    }
    *outFd = out[0];
    if (errFd) {
        *errFd = err[0];
    } else {
        close(err[0]);
    }
    return pid;
}

}  // namespace

std::string BinDir() { return PLU_BIN_DIR; }

std::string SourceFile(const std::string& relative) { return std::string(PLU_SOURCE_DIR) + "/" + relative; }

std::string Run(const std::string& command, int* exitCode) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        if (exitCode) *exitCode = -1;
        return out;
    }
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    const int status = ::pclose(pipe);
    if (exitCode) *exitCode = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

bool HavePythonModules(const std::string& modules) {
    int rc = -1;
    Run("/usr/bin/python3 -c 'import " + modules + "' 2>/dev/null", &rc);
    return rc == 0;
}

bool HaveSsconvert() { return ::access("/usr/bin/ssconvert", X_OK) == 0; }

VirtualScaleProcess::VirtualScaleProcess(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {BinDir() + "/virtual-scale", "--exit-with-parent"};
    argv.insert(argv.end(), args.begin(), args.end());
    pid_ = Spawn(argv, &stdout_, nullptr);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::string line;
    while (line.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{stdout_, POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        char buffer[256];
        const ssize_t n = read(stdout_, buffer, sizeof buffer);
        if (n <= 0) break;
        line.append(buffer, static_cast<std::size_t>(n));
    }
    if (line.find('\n') == std::string::npos) {
        Stop();
        throw std::runtime_error("virtual-scale did not print its device");
    }
    device_ = line.substr(0, line.find('\n'));
}

int VirtualScaleProcess::Stop() {
    int status = -1;
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }
    if (stdout_ >= 0) close(stdout_);
    stdout_ = -1;
    return status;
}

VirtualScaleProcess::~VirtualScaleProcess() { Stop(); }

pid_t WaitForChild(pid_t pid, int* status, double* cpuSeconds) {
    rusage usage{};
    pid_t done;
    while ((done = wait4(pid, status, 0, &usage)) < 0 && errno == EINTR) {
    }
    if (done == pid && cpuSeconds) {
        auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
        *cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    }
    return done;
}

ProgramResult RunProgram(const std::vector<std::string>& argv, std::chrono::milliseconds limit) {
    ProgramResult result;
    int outFd = -1, errFd = -1;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = Spawn(argv, &outFd, &errFd);
    const auto deadline = start + limit;
    bool outOpen = true, errOpen = true;
    while (outOpen || errOpen) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p[2] = {{outOpen ? outFd : -1, POLLIN, 0}, {errOpen ? errFd : -1, POLLIN, 0}};
        if (poll(p, 2, static_cast<int>(left.count())) <= 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (!(p[i].revents & (POLLIN | POLLHUP))) continue;
            char buffer[1024];
            const ssize_t n = read(p[i].fd, buffer, sizeof buffer);
            if (n <= 0) {
                (i == 0 ? outOpen : errOpen) = false;
                continue;
            }
            (i == 0 ? result.out : result.err).append(buffer, static_cast<std::size_t>(n));
        }
    }
    int status = 0;
    if (outOpen || errOpen) {
        kill(pid, SIGKILL);
        WaitForChild(pid, &status, &result.cpuSeconds);
    } else {
        WaitForChild(pid, &status, &result.cpuSeconds);
        if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    }
    close(outFd);
    close(errFd);
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

}  // namespace plu::testing
