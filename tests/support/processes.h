// Running programs from tests: the virtual scale as a background process
// that tells its device, one-shot commands with their exit code and output,
// shell commands (the interop tests' Python scripts and converters), and
// whether the independent programs those need are installed.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace plu::testing {

// The directory the build puts the programs in.
std::string BinDir();

// virtual-scale started with `args` (plus --exit-with-parent); the
// constructor waits for the device line. Stopped (SIGTERM) on destruction.
class VirtualScaleProcess {
public:
    explicit VirtualScaleProcess(const std::vector<std::string>& args = {});
    ~VirtualScaleProcess();
    VirtualScaleProcess(const VirtualScaleProcess&) = delete;
    VirtualScaleProcess& operator=(const VirtualScaleProcess&) = delete;

    const std::string& Device() const { return device_; }
    pid_t Pid() const { return pid_; }
    // Stops the process and returns its exit status (as waitpid gives it).
    int Stop();

private:
    pid_t pid_ = -1;
    int stdout_ = -1;
    std::string device_;
};

struct ProgramResult {
    int exitCode = -1;  // -1 when it did not end by itself within the limit
    std::string out, err;
    double seconds = 0;
    double cpuSeconds = 0;  // user and system time the program used
};

// waitpid that also gives the CPU seconds the child used.
pid_t WaitForChild(pid_t pid, int* status, double* cpuSeconds);

// Runs a program (argv[0] is a path) with stdin closed, gathering its
// output; kills it after `limit`.
ProgramResult RunProgram(const std::vector<std::string>& argv,
                         std::chrono::milliseconds limit = std::chrono::seconds(30));

// Runs a shell command and returns its standard output; *exitCode gets its
// exit status (-1 when it could not run or did not exit by itself).
std::string Run(const std::string& command, int* exitCode = nullptr);

// True when /usr/bin/python3 imports the modules ("xlrd, xlwt").
bool HavePythonModules(const std::string& modules);
// True when Gnumeric's converter is installed.
bool HaveSsconvert();

// A file of the source tree, by its path from the top ("tests/...").
std::string SourceFile(const std::string& relative);

}  // namespace plu::testing
