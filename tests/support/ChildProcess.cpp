#include "tests/support/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

extern char** environ;

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
    signal(SIGPIPE, SIG_IGN);  // a child that died must fail Send, not end the test
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0) return;
    if (pipe2(out, O_CLOEXEC) != 0) {
        close(in[0]);
        close(in[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) == 0) pid_ = pid;
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    toChild_ = in[1];
    fromChild_ = out[0];
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !reaped_) {
        // Helpers end cleanly at the end of their input; only one that does not is killed.
        CloseInput();
        if (Wait(std::chrono::seconds(10)) == -1) {
            kill(pid_, SIGKILL);
            Wait();
        }
    }
    if (toChild_ >= 0) close(toChild_);
    if (fromChild_ >= 0) close(fromChild_);
}

bool ChildProcess::ReadLine(std::string& line, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        auto newline = pending_.find('\n');
        if (newline != std::string::npos) {
            line = pending_.substr(0, newline);
            pending_.erase(0, newline + 1);
            return true;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || fromChild_ < 0) return false;
        pollfd p{fromChild_, POLLIN, 0};
        int r = poll(&p, 1, static_cast<int>(left.count()));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        char buffer[4096];
        ssize_t n = read(fromChild_, buffer, sizeof buffer);
        if (n <= 0) return false;
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
}

bool ChildProcess::WaitForLine(const std::string& expected, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string line;
    while (ReadLine(line,
                    std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())))
        if (line == expected) return true;
    return false;
}

bool ChildProcess::Send(const std::string& line) {
    if (toChild_ < 0) return false;
    std::string data = line + "\n";
    return write(toChild_, data.data(), data.size()) == static_cast<ssize_t>(data.size());
}

void ChildProcess::CloseInput() {
    if (toChild_ >= 0) close(toChild_);
    toChild_ = -1;
}

void ChildProcess::Kill(int signal) {
    if (pid_ > 0 && !reaped_) kill(pid_, signal);
}

int ChildProcess::Wait(std::chrono::milliseconds timeout) {
    if (pid_ <= 0) return -1;
    if (!reaped_) {
        auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            pid_t r = waitpid(pid_, &status_, WNOHANG);
            if (r == pid_) break;
            if (r < 0 && errno != EINTR) return -1;
            if (std::chrono::steady_clock::now() > deadline) return -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        reaped_ = true;
    }
    if (WIFEXITED(status_)) return WEXITSTATUS(status_);
    if (WIFSIGNALED(status_)) return 128 + WTERMSIG(status_);
    return -1;
}
