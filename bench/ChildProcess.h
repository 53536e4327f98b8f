#pragma once

// Runs programs as child processes for the benchmarks, measuring each run's wall time, CPU time and
// peak memory.
//
// The peak memory is the child's own: its VmHWM, read while the child is stopped at its exit (it is
// traced for that one stop). wait4()'s ru_maxrss would not do: Linux carries the resident size of the
// address space that exec replaces into it, so a child started by a benchmark that holds hundreds of
// servers reports the benchmark's size.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

struct ChildRun {
    int exitCode = -1;
    double wallMs = 0;
    long maxRssKb = 0;  // the child's peak resident size; from ru_maxrss when it could not be traced
    double cpuMs = 0;   // user and system time of the child
};

inline std::vector<char*> argvOf(std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    return argv;
}

// The VmHWM line of /proc/PID/status in kB, or 0.
inline long peakResidentKb(pid_t pid) {
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    std::FILE* status = std::fopen(path.c_str(), "r");
    if (!status) {
        return 0;
    }
    char line[256];
    long kb = 0;
    while (std::fgets(line, sizeof line, status)) {
        if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) {
            break;
        }
    }
    std::fclose(status);
    return kb;
}

// Runs the program to its end with standard output and error thrown away.
inline ChildRun runChild(std::vector<std::string> arguments) {
    std::vector<char*> argv = argvOf(arguments);
    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid < 0) {
        return run;
    }
    if (pid == 0) {  // only async-signal-safe calls until exec
        const int nowhere = ::open("/dev/null", O_WRONLY);
        ::dup2(nowhere, STDOUT_FILENO);
        ::dup2(nowhere, STDERR_FILENO);
        ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        ::execve(argv[0], argv.data(), environ);
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    long peakKb = 0;
    bool traced = false;
    for (;;) {
        if (::wait4(pid, &status, 0, &usage) != pid) {
            return run;
        }
        if (!WIFSTOPPED(status)) {
            break;  // exited or killed
        }
        int signal = WSTOPSIG(status);
        if (!traced && signal == SIGTRAP) {  // the stop at exec
            traced = ::ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACEEXIT | PTRACE_O_EXITKILL) == 0;
            signal = 0;
        } else if (status >> 8 == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
            peakKb = peakResidentKb(pid);
            signal = 0;
        }
        ::ptrace(PTRACE_CONT, pid, nullptr, reinterpret_cast<void*>(static_cast<long>(signal)));
    }
    run.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.maxRssKb = peakKb > 0 ? peakKb : usage.ru_maxrss;
    const auto ms = [](const timeval& t) { return double(t.tv_sec) * 1000.0 + double(t.tv_usec) / 1000.0; };
    run.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    return run;
}
