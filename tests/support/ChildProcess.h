#pragma once
// A helper process for tests: started with pipes on its stdin and stdout, so that the test can
// send it commands and wait for what it prints; killed and reaped on destruction.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }

    // The next line the child prints (without its newline); false on time-out or end of output.
    bool ReadLine(std::string& line, std::chrono::milliseconds timeout = std::chrono::seconds(60));
    // Reads lines until one equals `expected`.
    bool WaitForLine(const std::string& expected, std::chrono::milliseconds timeout = std::chrono::seconds(60));
    bool Send(const std::string& line);
    void CloseInput();

    void Kill(int signal);
    // On destruction the child's input is closed and it is given time to end by itself.
    // Waits for the child to end: its exit code, or 128 + the signal that ended it; -1 on time-out.
    int Wait(std::chrono::milliseconds timeout = std::chrono::seconds(60));

private:
    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    std::string pending_;
    bool reaped_ = false;
    int status_ = 0;
};
